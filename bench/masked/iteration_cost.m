function iteration_cost(seeds, ranks, missing)
% ITERATION_COST  The time of a masked iteration of greedynmf against an
% unmasked one on Fashion-MNIST's test images (10000-by-784), one thread,
% side by side in one run.
%
%   iteration_cost()                      seeds 1 to 3, ranks 10 and 20, 10 % missing
%   iteration_cost(seeds, ranks, missing)
%
% For each seed and rank: 20 iterations unmasked, then 20 with MISSING of
% the entries missing at random; prints the median seconds per iteration
% of each and their ratio, and the median and worst ratio over the seeds.
  if nargin < 1, seeds = 1:3; end
  if nargin < 2, ranks = [10, 20]; end
  if nargin < 3, missing = 0.1; end
  A = double(read_idx_images('/usr/share/datasets/fashion-mnist/t10k-images-idx3-ubyte.gz'))' / 255;
  for k = ranks
    ratios = zeros(size(seeds));
    for s = 1:numel(seeds)
      saved = rng();
      rng(seeds(s));
      observed = rand(size(A)) >= missing;
      rng(saved);
      common = {'seed', seeds(s), 'maxiter', 20, 'tol', 0, 'threads', 1};
      [~, ~, plain] = greedynmf(A, k, common{:});
      [~, ~, masked] = greedynmf(A, k, common{:}, 'mask', observed);
      ratios(s) = median(diff(masked.time)) / median(diff(plain.time));
      fprintf('k = %d, seed %d: %.4f s unmasked, %.4f s masked: %.2f times\n', k, seeds(s), ...
              median(diff(plain.time)), median(diff(masked.time)), ratios(s));
    end
    fprintf('k = %d: a masked iteration costs %.2f times an unmasked one (median), %.2f (worst)\n', ...
            k, median(ratios), max(ratios));
  end
end
