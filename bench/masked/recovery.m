function results = recovery(seeds)
% RECOVERY  greedynmf's mask and greedynmf_rank on planted data.
%
%   results = recovery()        seeds 1 to 10
%   results = recovery(seeds)
%
% For each seed, noise level (1 % and 5 % of the planted W*·H*'s RMS,
% Gaussian, the sum clipped at 0) and missing share (20 % and 50 % of the
% entries, at random): A = max(W*·H* + noise, 0), 500-by-400 at rank 8,
% with W* and H* uniform on [0, 1). Fits rank 8 on the observed entries
% and prints the RMSE on the missing ones over the noise's RMS; then runs
% greedynmf_rank over k = 2 … 16 on the observed entries and prints the k
% it chose and the k of the lowest held-out error. One thread.
  if nargin < 1
    seeds = 1:10;
  end
  [m, n, r] = deal(500, 400, 8);
  results = [];
  fprintf('| noise | missing | held-out RMSE / noise: median (worst) | k chosen = 8 | lowest error at 8 |\n');
  fprintf('|---|---|---|---|---|\n');
  for level = [0.01, 0.05]
    for missing = [0.2, 0.5]
      rows = zeros(numel(seeds), 3);
      for s = 1:numel(seeds)
        saved = rng();
        rng(seeds(s));
        X = rand(m, r) * rand(r, n);
        sigma = level * sqrt(mean(X(:) .^ 2));
        A = max(X + sigma * randn(m, n), 0);
        observed = rand(m, n) >= missing;
        rng(saved);
        [W, H] = greedynmf(A, r, 'mask', observed, 'seed', seeds(s), 'threads', 1);
        model = W * H;
        ratio = sqrt(mean((A(~observed) - model(~observed)) .^ 2)) / sigma;
        [k, info] = greedynmf_rank(A, 2:16, 'mask', observed, 'seed', seeds(s), 'threads', 1);
        rows(s, :) = [ratio, k, info.lowest];
        results(end + 1, :) = [level, missing, seeds(s), ratio, k, info.lowest];
      end
      fprintf('| %g %% | %g %% | %.3f (%.3f) | %d of %d | %d of %d |\n', 100 * level, ...
              100 * missing, median(rows(:, 1)), max(rows(:, 1)), sum(rows(:, 2) == r), ...
              numel(seeds), sum(rows(:, 3) == r), numel(seeds));
    end
  end
end
