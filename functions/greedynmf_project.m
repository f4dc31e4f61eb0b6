function [H, info] = greedynmf_project(A, W, varargin)
% GREEDYNMF_PROJECT  Non-negative codes H of new data A for a fixed factor W.
%
%   H = greedynmf_project(A, W)
%   [H, info] = greedynmf_project(A, W, 'name', value, ...)
%
%   Solves, for the m-by-n non-negative A (full or sparse) and the m-by-k
%   non-negative W (a factor from greedynmf, say),
%
%     min over H >= 0 of  0.5*norm(A - W*H, 'fro')^2
%                         + l1_H*sum(H(:)) + 0.5*l2_H*norm(H, 'fro')^2:
%
%   greedynmf's step for H, run to the end. Each column of A (each new
%   sample, in greedynmf's orientation) is a non-negative least-squares
%   problem of its own, convex, with one solution when W has full column
%   rank. It is what scikit-learn's transform does for new rows of X.
%
%   Each iteration is one greedy update (greedycd's) of all of H from the
%   gradient computed afresh. The first whose gain, f before it less f
%   after it, is at most tol times f at H = 0 (0.5*norm(A, 'fro')^2) ends
%   the run, and its result is not taken: H is then as good as a further
%   update can make it, to tol, and a second projection started from it
%   returns it unchanged. Like greedynmf, the run works on A and W scaled
%   by powers of two, so any scale a double can hold gives the same H; and
%   it runs on greedynmf's compiled solver (nmfsolve), every product and sum
%   in one fixed order and its work shared out over threads by whole
%   columns, so H is the same bits on every machine and thread count.
%
%   Options, as a struct or as name/value pairs (names in any case):
%     tol        the stop above (default 1e-12)
%                  H = greedynmf_project(A, W, 'tol', 1e-8);
%     maxiter    cap on updates (default 100). Reaching it warns, with the
%                identifier greedynmf_project:maxiter.
%                  H = greedynmf_project(A, W, 'maxiter', 10);
%     maxinner   cap on each update's moves per column (default 10*k)
%                  H = greedynmf_project(A, W, 'maxinner', 50);
%     inner_tol  the updates' tolerance (default 1e-10, as greedycd's)
%                  H = greedynmf_project(A, W, 'inner_tol', 1e-6);
%     H0         the start, k-by-n and non-negative (default zeros): the
%                codes of the previous batch, say
%                  H = greedynmf_project(A, W, 'H0', H);
%     l1_H, l2_H the penalty weights on H, as in greedynmf (default 0)
%                  H = greedynmf_project(A, W, 'l1_H', 0.1);
%     alpha_H, l1_ratio
%                scikit-learn's form, weighed as greedynmf weighs it:
%                l1_H = alpha_H*l1_ratio*m, l2_H = alpha_H*(1 - l1_ratio)*m
%                  H = greedynmf_project(A, W, 'alpha_H', 0.01, 'l1_ratio', 1);
%     loss       'ls' (default) or 'kl': with 'kl' the first term is
%                greedynmf's Kullback-Leibler divergence D(A||W*H), each
%                iteration is greedynmf's coordinate step for H with
%                maxinner passes (default 1), every one taken, and the run
%                stops after the first that gains at most tol times sum(A(:)).
%                H0 must make W*H positive wherever A is (default: the
%                constant H whose W*H sums to A's sum; a W with a zero row
%                where A's row is not is refused, greedynmf_project:zeroModel)
%                  H = greedynmf_project(A, W, 'loss', 'kl');
%     mask, weights
%                the observed entries of A and their weights, as in
%                greedynmf ('zeros' for a sparse A whose zeros are
%                missing): f's first term runs over the observed entries
%                alone. Each column then has a Hessian of its own, formed
%                once, and is solved on its own: its updates run until one
%                gains at most tol times the column's own f at H = 0, and
%                maxiter caps each column's. info.objective then holds f
%                at the start and at the end, and info.iterations the most
%                updates a column took. A column with no observed entry
%                comes out as zeros.
%                  H = greedynmf_project(A, W, 'mask', rand(size(A)) > 0.2);
%     threads    how many threads share the work, as in greedynmf (default:
%                as many as the host allows)
%                  H = greedynmf_project(A, W, 'threads', 1);
%
%   info is a struct with
%     objective  f at the start and after each update taken, in A's units
%     iterations the number of updates taken
%     stop       'tol' or 'maxiter'
%     threads    how many threads shared the work
%
%   Example: codes for new columns with the basis of an earlier fit.
%     A = rand(50, 4) * rand(4, 300) + rand(50, 300);
%     W = greedynmf(A(:, 1:200), 4, 'seed', 1);
%     H = greedynmf_project(A(:, 201:end), W);
%     norm(A(:, 201:end) - W * H, 'fro') / norm(A(:, 201:end), 'fro')
%
%   See also GREEDYNMF, GREEDYNMF_RANK, GREEDYCD.

  if nargin < 2
    error('greedynmf_project:usage', '%s', ['usage: H = greedynmf_project(A, W)', char(10), ...
          '       [H, info] = greedynmf_project(A, W, ''name'', value, ...)', char(10), ...
          '(help greedynmf_project lists the options)']);
  end
  [A, W, k] = checked_data(A, W);
  [m, n] = size(A);
  [options, given] = parse_options(varargin, k, n, m);
  kl = strcmp(options.loss, 'kl');
  [A, weights] = observed_data(A, given, 'greedynmf_project');
  refuse_bad_values(A, 'A', 'greedynmf_project:badInput', ...
                    ' (to leave entries out, give ''mask'', true where A is observed)');
  if ~isempty(weights) && kl
    error('greedynmf_project:badOption', ['mask and weights apply to the least-squares loss; ', ...
          'leave them out with ''loss'', ''kl''']);
  end

  % A very large or very small A or W is run as A*2^a or W*2^b, with its
  % largest value in [0.5, 1); H is then 2^(a - b) times its own, the
  % objective 2^(2a), and the penalties take the powers that keep the
  % problem the same one.
  a = -rescaling_exponent(A);
  b = -rescaling_exponent(W);
  A = times_power_of_two(A, a);
  W = times_power_of_two(W, b);
  H = times_power_of_two(options.H0, a - b);
  settings = struct('task', 2, 'rank', k, 'maxiter', options.maxiter, 'tol', options.tol, ...
                    'maxinner', min(options.maxinner, 2^31 - 1), 'inner_tol', options.inner_tol, ...
                    'threads', options.threads);
  settings.l1_H = min(times_power_of_two(options.penalty.l1_H, a + b), realmax);
  settings.l2_H = min(times_power_of_two(options.penalty.l2_H, 2 * b), realmax);
  if kl
    % D(A||W*H) is of A, not of its square: 2^a times that of A itself.
    settings.l1_H = min(times_power_of_two(options.penalty.l1_H, b), realmax);
    settings.l2_H = min(times_power_of_two(options.penalty.l2_H, 2 * b - a), realmax);
    settings.loss = 1;
    if ~options.H0_given
      H = kl_start(A, W, k, n);
    end
  end
  [H, objective, summary] = call_nmfsolve('greedynmf_project', A, W', H, nmfsolve_settings(settings), weights);

  H = times_power_of_two(H, b - a);
  info.objective = times_power_of_two(objective, -(2 - kl) * a);
  info.iterations = summary(1);
  info.stop = 'tol';
  if summary(2) == 1
    info.stop = 'maxiter';
  end
  info.threads = summary(3);
  if strcmp(info.stop, 'maxiter') && options.maxiter > 0
    warning('greedynmf_project:maxiter', ...
            'greedynmf_project: reached maxiter = %d updates without meeting tol = %g', ...
            options.maxiter, options.tol);
  end
end

function H = kl_start(A, W, k, n)
% The divergence is infinite where W*H is 0 and A is not, as at H = 0: the
% constant H whose W*H sums to A's sum instead (0 for a zero A or W).
  level = full(sum(A(:))) / (sum(W(:)) * n);
  if ~(level > 0 && isfinite(level))
    level = 0;
  end
  H = level * ones(k, n);
end

function [A, W, k] = checked_data(A, W)
  names = {'A', 'W'};
  inputs = {A, W};
  for i = 1:2
    X = inputs{i};
    if ~(isnumeric(X) || islogical(X)) || ~isreal(X) || ndims(X) ~= 2 || isempty(X)
      error('greedynmf_project:badInput', '%s must be a non-empty, real, numeric 2-D matrix', names{i});
    end
  end
  if ~isa(A, 'double')
    A = double(A);
  end
  W = full(double(W));
  if size(W, 1) ~= size(A, 1)
    error('greedynmf_project:badInput', 'W must have as many rows as A (%d), not %d', ...
          size(A, 1), size(W, 1));
  end
  refuse_bad_values(W, 'W', 'greedynmf_project:badInput');
  k = size(W, 2);
end

function [options, given] = parse_options(args, k, n, m)
  names = {'tol', 'maxiter', 'maxinner', 'inner_tol', 'H0', 'l1_H', 'l2_H', 'alpha_H', ...
           'l1_ratio', 'threads', 'loss', 'mask', 'weights'};
  given = parse_named_options(args, names, 'greedynmf_project');
  read = @(name, default, kind) read_option(given, name, default, kind, 'greedynmf_project');
  options.tol = read('tol', 1e-12, 'nonnegative');
  options.maxiter = read('maxiter', 100, 'count');
  options.loss = loss_name(given, 'greedynmf_project');
  kl = strcmp(options.loss, 'kl');
  options.maxinner = read('maxinner', kl * 1 + ~kl * 10 * k, 'positive_count_or_inf');
  if kl && (isinf(options.maxinner) || isfield(given, 'inner_tol'))
    error('greedynmf_project:badOption', ['under ''loss'', ''kl'', maxinner counts passes ', ...
          '(give a finite number) and inner_tol is not used']);
  end
  options.inner_tol = read('inner_tol', 1e-10, 'nonnegative');
  if isinf(options.maxinner) && options.inner_tol <= 0
    error('greedynmf_project:badOption', ...
          'maxinner = Inf needs inner_tol > 0: with neither, a call might never end');
  end
  options.penalty = penalty_options(given, m, n, 'greedynmf_project');
  options.threads = min(read('threads', default_threads(), 'positive_count'), 4096);
  options.H0 = zeros(k, n);
  options.H0_given = isfield(given, 'H0');
  if options.H0_given
    H0 = given.H0;
    if ~(isnumeric(H0) || islogical(H0)) || ~isreal(H0) || ~isequal(size(H0), [k, n])
      error('greedynmf_project:badOption', 'H0 must be a real %d-by-%d matrix', k, n);
    end
    options.H0 = full(double(H0));
    refuse_bad_values(options.H0, 'H0', 'greedynmf_project:badOption');
  end
end
