function [k, info] = greedynmf_rank(A, ks, varargin)
% GREEDYNMF_RANK  The rank of an NMF, chosen by cross-validation on held-out entries.
%
%   k = greedynmf_rank(A, ks)
%   [k, info] = greedynmf_rank(A, ks, 'name', value, ...)
%
%   Holds out a seeded random share of A's observed entries (every entry,
%   or those of 'mask'), fits greedynmf(A, k) on the rest for each rank k
%   in ks, and measures each fit's error on the entries held out. Past the
%   true rank that error is nearly flat, and its lowest point wanders with
%   the noise; so the rank chosen is the smallest k whose held-out error
%   is within one standard error of the lowest (the one-standard-error
%   rule), the standard error being that of the lowest error's mean over
%   the held-out entries.
%
%   For each k, the fit that counts is the one greedynmf would return with
%   'replicates': of the replicates, the one of the lowest objective on the
%   entries it was fitted to. Every error is formed in one fixed order
%   (fixedtimes), and the held-out entries and the starts come from the
%   toolkit's own generator, so the same seed gives the same errors and
%   the same k, bit for bit, on every machine.
%
%   Options, as name/value pairs (names in any case); any other greedynmf
%   option is passed on to every fit, such as 'maxiter' or 'l1_H':
%     holdout    the share of the observed entries held out, above 0 and at
%                most 0.5 (default 0.05)
%                  k = greedynmf_rank(A, 2:12, 'holdout', 0.1);
%     seed       an integer from 0 to 2^32 - 1 (default: drawn from rand's
%                state, and kept in info.seed): the held-out entries are
%                drawn from it, and replicate r of each k starts from
%                greedynmf's random start of seed + r - 1 (an 'init' of
%                'nndsvd' or 'nndsvda' is passed on instead, one start a k;
%                W0 and H0, a start of one rank, are refused)
%                  k = greedynmf_rank(A, 2:12, 'seed', 7);
%     replicates random starts for each k (default 1)
%                  [k, info] = greedynmf_rank(A, 2:12, 'replicates', 3, 'seed', 1);
%     mask, weights
%                the observed entries, and their weights, as in greedynmf:
%                only observed entries are held out, and each error is
%                weighted as the fit weighs it
%                  k = greedynmf_rank(S, 5:5:40, 'mask', 'zeros');
%
%   info is a struct with
%     ks         the ranks tried, in increasing order
%     error      held-out root-mean-square error, numel(ks)-by-replicates
%     objective  each fit's final objective on the entries it was fitted to
%     iterations each fit's outer iterations (greedynmf's maxiter warnings
%                are not shown here)
%     best       for each k, the replicate that counts
%     mse, se    for each k, the counting fit's held-out mean squared error
%                and that mean's standard error
%     k          the rank chosen; lowest, the rank of the lowest error
%     heldout    the held-out entries' linear indices into A
%     seed       the seed used
%
%   Example: planted rank 6 with 3% noise.
%     A = max(rand(300, 6) * rand(6, 200) + 0.03 * randn(300, 200), 0);
%     [k, info] = greedynmf_rank(A, 2:10, 'seed', 1);
%     plot(info.ks, info.error, 'o-'); xlabel('k'); ylabel('held-out RMSE');
%
%   See also GREEDYNMF.
  if nargin < 2
    error('greedynmf_rank:usage', '%s', ['usage: k = greedynmf_rank(A, ks)', char(10), ...
          '       [k, info] = greedynmf_rank(A, ks, ''name'', value, ...)']);
  end
  if ~(isnumeric(A) || islogical(A)) || ~isreal(A) || ndims(A) ~= 2 || isempty(A)
    error('greedynmf_rank:badInput', 'A must be a non-empty, real, numeric 2-D matrix');
  end
  if ~isa(A, 'double')
    A = double(A);
  end
  ks = checked_ranks(ks);
  [options, passed, given] = rank_options(varargin);
  [A, weights] = observed_data(A, given, 'greedynmf_rank');
  refuse_bad_values(A, 'A', 'greedynmf_rank:badInput', ...
                    ' (to leave entries out, give ''mask'', true where A is observed)');
  [m, n] = size(A);
  if isempty(weights)
    if m * n > 2^31 - 1
      error('greedynmf_rank:badInput', ['A has 2^31 or more entries to hold out from: ', ...
            'give ''mask'' (''zeros'' for a sparse A) to name the observed ones']);
    end
    weights = ones(m, n);
  end
  observed = find(weights);
  count = numel(observed);
  held = sort(observed(draw_order(count, options.seed, round(options.holdout * count))));
  if isempty(held) || numel(held) == count
    error('greedynmf_rank:badOption', ['holding out %g of %d observed entries leaves %d ', ...
          'held out and %d to fit: both need at least one; change holdout or the mask'], ...
          options.holdout, count, numel(held), count - numel(held));
  end
  training = weights;
  training(held) = 0;
  [held_rows, held_columns] = ind2sub([m, n], held);
  a = full(A(held));
  w = full(weights(held));

  % A fit that reaches maxiter is recorded in info.iterations, not warned of.
  warnings = warning('off', 'greedynmf:maxiter');
  restore = onCleanup(@() warning(warnings));
  r = options.replicates;
  info.ks = ks;
  info.error = zeros(numel(ks), r);
  info.objective = zeros(numel(ks), r);
  info.iterations = zeros(numel(ks), r);
  info.best = zeros(numel(ks), 1);
  info.mse = zeros(numel(ks), 1);
  info.se = zeros(numel(ks), 1);
  for i = 1:numel(ks)
    squared = [];
    for j = 1:r
      start = {};
      if options.random
        start = {'seed', options.seed + j - 1};
      end
      [W, H, fit] = greedynmf(A, ks(i), passed{:}, 'weights', training, start{:});
      e = held_out_errors(a, W, H, held_rows, held_columns);
      [mse, se] = weighted_mean(w, e .* e);
      info.error(i, j) = sqrt(mse);
      info.objective(i, j) = fit.objective(end);
      info.iterations(i, j) = fit.iterations;
      if j == 1 || fit.objective(end) < info.objective(i, info.best(i))
        info.best(i) = j;
        info.mse(i) = mse;
        info.se(i) = se;
      end
      clear W H;
    end
    if options.verbose
      fprintf('k = %d: held-out RMSE %.6g\n', ks(i), info.error(i, info.best(i)));
    end
  end
  [lowest_mse, lowest] = min(info.mse);
  info.lowest = ks(lowest);
  k = ks(find(info.mse <= lowest_mse + info.se(lowest), 1));
  info.k = k;
  info.heldout = held;
  info.seed = options.seed;
end

function ks = checked_ranks(ks)
  if ~isnumeric(ks) || isempty(ks) || ~isreal(ks) || any(~isfinite(ks(:))) || ...
      any(ks(:) < 1) || any(ks(:) ~= fix(ks(:)))
    error('greedynmf_rank:badInput', 'ks must be positive integers, such as 2:12');
  end
  ks = unique(double(ks(:)))';
end

function [options, passed, given] = rank_options(args)
  if mod(numel(args), 2) ~= 0
    error('greedynmf_rank:badOption', 'options must come as name/value pairs');
  end
  own = {'holdout', 'seed', 'replicates', 'mask', 'weights', 'verbose'};
  refused = {'W0', 'H0'};
  given = struct();
  passed = {};
  for i = 1:2:numel(args)
    name = args{i};
    if ~ischar(name) || size(name, 1) ~= 1
      error('greedynmf_rank:badOption', 'option names must be text');
    end
    match = find(strcmpi(name, own));
    if any(strcmpi(name, refused))
      error('greedynmf_rank:badOption', ['%s is a start of one rank, and greedynmf_rank ', ...
            'fits several: leave it out (see seed, replicates and init)'], name);
    elseif isempty(match)
      passed(end + 1:end + 2) = args(i:i + 1);
    else
      given.(own{match}) = args{i + 1};
    end
  end
  read = @(name, default, kind) read_option(given, name, default, kind, 'greedynmf_rank');
  options.holdout = read('holdout', 0.05, 'fraction');
  if ~(options.holdout > 0 && options.holdout <= 0.5)
    error('greedynmf_rank:badOption', ['holdout must be above 0 and at most 0.5, ', ...
          'a share of the observed entries, not %g'], options.holdout);
  end
  options.replicates = read('replicates', 1, 'positive_count');
  options.verbose = read('verbose', false, 'logical');
  options.seed = read('seed', [], 'count');
  if isempty(options.seed)
    options.seed = floor(rand() * 2^32);
  end
  if options.seed + options.replicates > 2^32
    error('greedynmf_rank:badOption', 'seed + replicates - 1 must be below 2^32');
  end
  % An SVD start draws nothing: the seed then draws the held-out entries only.
  options.random = true;
  for i = 1:2:numel(passed)
    if strcmpi(passed{i}, 'init') && ischar(passed{i + 1}) && ~strcmpi(passed{i + 1}, 'random')
      options.random = false;
    end
  end
  if ~options.random && options.replicates > 1
    error('greedynmf_rank:badOption', 'replicates need random starts; an SVD init gives one start');
  end
end

function order = draw_order(count, seed, wanted)
  % The first WANTED of a random order of 1:count, from the toolkit's
  % generator (sort is stable, so a tie cannot differ between hosts).
  settings = struct('task', 3, 'rank', 1, 'seed', seed, 'maxinner', 1, 'threads', 1);
  u = nmfsolve(count, [], [], nmfsolve_settings(settings));
  [~, order] = sort(u);
  order = order(1:wanted);
end

function e = held_out_errors(a, W, H, held_rows, held_columns)
  % a - W(i,:)*H(:,j) at each held-out entry: each model value one running
  % sum of the rounded products in k's order, as the fit's own residual.
  k = size(W, 2);
  e = zeros(size(a));
  block = 65536;
  for first = 1:block:numel(a)
    last = min(first + block - 1, numel(a));
    products = W(held_rows(first:last), :)' .* H(:, held_columns(first:last));
    e(first:last) = a(first:last) - fixedtimes(ones(1, k), products)';
  end
end

function [mean_value, standard_error] = weighted_mean(w, t)
  % The weighted mean of t and its standard error, every sum in order.
  total = fixedtimes(w', ones(size(w)));
  mean_value = fixedtimes(w', t) / total;
  d = t - mean_value;
  standard_error = sqrt(fixedtimes(w', d .* d) / total / numel(t));
end
