function Wnew = greedycd_parallel(workers, GW, HHt, W, tol, maxinner)
% GREEDYCD_PARALLEL  greedycd over blocks of columns on several processes.
%
%   Wnew = greedycd_parallel(workers, GW, HHt, W, tol, maxinner)
%
%   The same bits as greedycd(GW, HHt, W, tol, maxinner), with W's columns
%   split into WORKERS blocks that run on as many processes: in Octave
%   with parcellfun from the parallel package (pkg load parallel; Debian's
%   octave-parallel), in MATLAB in a parfor loop, on the open parallel pool
%   if there is one (not tried here). The columns are independent
%   problems but for one thing they share: a column stops against tol
%   times the largest reduction any entry of the whole W offers at the
%   start. So each block also carries the column that offers it, and that
%   column's copies are dropped from the result.
%
%   Each block, and its result, is copied to its process and back, so this
%   pays only when a call has enough columns: see docs/performance.md for
%   where the copying costs more than it saves.
%
%   Example (Octave), a second or two on a laptop:
%     pkg load parallel
%     H = rand(20, 500);  V = rand(20000, 500);  W = rand(20000, 20);
%     HHt = H * H';  GW = HHt * W' - H * V';
%     Wnew = greedycd_parallel(2, GW, HHt, W', 1e-5, 20);
%     isequal(Wnew, greedycd(GW, HHt, W', 1e-5, 20))
%
%   See also GREEDYCD, SWEEP_PARALLEL.

  if nargin ~= 6
    error('greedycd_parallel:nargin', ['takes 6 inputs, got %d: ', ...
          'greedycd_parallel(workers, GW, HHt, W, tol, maxinner)'], nargin);
  end
  [k, n] = size(GW);
  splittable = is_real_double(GW) && is_real_double(HHt) && is_real_double(W) ...
               && isequal(size(HHt), [k, k]) && isequal(size(W), [k, n]) && n > 1;
  if ~(isscalar(workers) && isnumeric(workers) && workers >= 1 && workers == fix(workers))
    error('greedycd_parallel:badWorkers', 'workers must be a positive integer');
  end
  if workers == 1 || ~splittable
    % One block, or a call greedycd itself computes or refuses.
    Wnew = greedycd(GW, HHt, W, tol, maxinner);
    return;
  end

  % The reduction every entry offers, in the kernel's own arithmetic; the
  % column of the largest positive one joins every block.
  d = diag(HHt);
  t = W - GW ./ d;
  t(t < 0) = 0;
  s = t - W;
  reduction = -(GW .* s + ((d * 0.5) .* s) .* s);
  [largest, at] = max(reduction(:));
  clear t s reduction;
  reference = [];
  if largest > 0
    reference = ceil(at / k);
  end

  blocks = column_blocks(n, workers);
  GW_blocks = cell(size(blocks));
  W_blocks = cell(size(blocks));
  for b = 1:numel(blocks)
    columns = [blocks{b}, setdiff(reference, blocks{b})];
    GW_blocks{b} = GW(:, columns);
    W_blocks{b} = W(:, columns);
  end
  results = map_blocks(workers, @(GWb, Wb) greedycd(GWb, HHt, Wb, tol, maxinner), ...
                       GW_blocks, W_blocks);
  Wnew = zeros(k, n);
  for b = 1:numel(blocks)
    Wnew(:, blocks{b}) = results{b}(:, 1:numel(blocks{b}));
  end
end

function ok = is_real_double(X)
  ok = isa(X, 'double') && isreal(X) && ~issparse(X);
end
