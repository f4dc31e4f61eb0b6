function X = sweep_parallel(workers, sweep, M, C, lambda, n, m)
% SWEEP_PARALLEL  hardsweep or clipsweep over blocks of columns on several processes.
%
%   X = sweep_parallel(workers, sweep, M, C, lambda, n, m)
%
%   The same bits as sweep(M, C, lambda, n, m), where sweep is @hardsweep
%   or @clipsweep, with the m columns split into WORKERS blocks that run on
%   as many processes: in Octave with parcellfun from the parallel package
%   (pkg load parallel; Debian's octave-parallel), in MATLAB in a parfor
%   loop, on the open parallel pool if there is one (not tried here). Every
%   column is a problem of its own, so the blocks share nothing but M.
%
%   Each block of C, and its result, is copied to its process and back, so
%   this pays only when a call has enough columns: see docs/performance.md.
%
%   Example (Octave), a second or two on a laptop:
%     pkg load parallel
%     D = randn(400, 200);  Y = randn(400, 5000);
%     M = D' * D;  C = -D' * Y;
%     X = sweep_parallel(2, @hardsweep, M, C, 0.5, 200, 5000);
%     isequal(X, hardsweep(M, C, 0.5, 200, 5000))
%
%   See also HARDSWEEP, CLIPSWEEP, GREEDYCD_PARALLEL.

  if nargin ~= 7
    error('sweep_parallel:nargin', ['takes 7 inputs, got %d: ', ...
          'sweep_parallel(workers, sweep, M, C, lambda, n, m)'], nargin);
  end
  if ~(isscalar(workers) && isnumeric(workers) && workers >= 1 && workers == fix(workers))
    error('sweep_parallel:badWorkers', 'workers must be a positive integer');
  end
  if ~isa(sweep, 'function_handle') || ~any(strcmp(func2str(sweep), {'hardsweep', 'clipsweep'}))
    error('sweep_parallel:badSweep', 'sweep must be @hardsweep or @clipsweep');
  end
  columns = double(m);
  rows = double(n);
  splittable = isa(C, 'double') && isreal(C) && ~issparse(C) && isscalar(m) && isscalar(n) ...
               && rows == fix(rows) && rows >= 1 && columns == fix(columns) && columns > 1 ...
               && isequal(size(C), [rows, columns]);
  if workers == 1 || ~splittable
    % One block, or a call the plug-in itself computes or refuses.
    X = sweep(M, C, lambda, n, m);
    return;
  end
  blocks = column_blocks(columns, workers);
  C_blocks = cellfun(@(b) C(:, b), blocks, 'UniformOutput', false);
  % The plug-in by name: the parallel package's workers crash Octave on
  % exit when they are sent a handle to a MEX function.
  name = func2str(sweep);
  results = map_blocks(workers, @(Cb) feval(name, M, Cb, lambda, rows, size(Cb, 2)), C_blocks);
  X = [results{:}];
end
