function make_start(problem, folder, start)
% MAKE_START  Writes a start for the problem in folder PROBLEM (make_data's)
% into FOLDER as W0.f64 (m-by-k) and H0.f64 (k-by-n).
%
%   make_start(problem, folder, seed)      uniform factors drawn with
%                                          rng(seed), scaled as scikit-learn
%                                          scales its random start: W0*H0
%                                          has the mean of A
%   make_start(problem, folder, 'nndsvd')  greedynmf's NNDSVD start
  [A, ~, ~] = load_problem(problem, false);
  shape = load(fullfile(problem, 'shape.txt'));
  k = shape(3);
  [m, n] = size(A);
  if ischar(start)
    [W0, H0] = greedynmf(A, k, 'init', start, 'maxiter', 0);
  else
    rng(start);
    W0 = rand(m, k);
    H0 = rand(k, n);
    % Uniform entries give W*H a mean of k/4 before scaling.
    scale = sqrt(full(sum(A(:))) / (m * n) / (k / 4));
    W0 = scale * W0;
    H0 = scale * H0;
  end
  if ~exist(folder, 'dir')
    mkdir(folder);
  end
  write_binary(fullfile(folder, 'W0.f64'), W0);
  write_binary(fullfile(folder, 'H0.f64'), H0);
end

function write_binary(file, X)
  fid = fopen(file, 'w', 'ieee-le');
  fwrite(fid, X, 'double');
  fclose(fid);
end
