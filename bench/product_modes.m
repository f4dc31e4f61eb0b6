function product_modes(folders, iterations, repeats)
% PRODUCT_MODES  greedynmf with 'products' 'fixed' against 'blas', side by
% side: the same problem and start, the two modes interleaved, each run
% repeats times; prints each mode's best time per outer iteration and the
% ratio. FOLDERS are problems written by bench/peers/make_data and
% make_start. Run it with the BLAS thread count to compare under, e.g.
%
%   OPENBLAS_NUM_THREADS=2 octave-cli --eval "addpath(...); product_modes({'/data/fashion'})"
  if nargin < 2
    iterations = 20;
  end
  if nargin < 3
    repeats = 3;
  end
  warning('off', 'greedynmf:maxiter');
  modes = {'fixed', 'blas'};
  fprintf('%-28s %14s %14s %8s\n', 'problem', 'fixed ms/it', 'blas ms/it', 'ratio');
  for f = 1:numel(folders)
    [A, W0, H0] = load_problem(folders{f});
    best = Inf(1, 2);
    for r = 1:repeats
      for m = 1:2
        [~, ~, info] = greedynmf(A, size(W0, 2), 'W0', W0, 'H0', H0, 'maxiter', iterations, ...
                                 'tol', 0, 'products', modes{m});
        best(m) = min(best(m), (info.time(end) - info.time(1)) / info.iterations);
      end
    end
    [~, name] = fileparts(folders{f});
    fprintf('%-28s %14.1f %14.1f %8.2f\n', name, 1e3 * best(1), 1e3 * best(2), best(2) / best(1));
  end
end
