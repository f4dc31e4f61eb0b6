function [W, H, info] = greedynmf(A, k, varargin)
% GREEDYNMF  Non-negative matrix factorisation A ~ W*H by greedy coordinate descent.
%
%   [W, H] = greedynmf(A, k)
%   [W, H, info] = greedynmf(A, k, options)
%   [W, H, info] = greedynmf(A, k, 'name', value, ...)
%
%   A is a non-negative m-by-n matrix, full or sparse (a sparse A is never
%   made full). Integer, single and logical A are converted to double. k is
%   the rank, a positive integer; it may exceed min(m, n). W (m-by-k) and
%   H (k-by-n) are non-negative and minimise, locally,
%
%     f = 0.5*norm(A - W*H, 'fro')^2
%         + l1_W*sum(W(:)) + 0.5*l2_W*norm(W, 'fro')^2
%         + l1_H*sum(H(:)) + 0.5*l2_H*norm(H, 'fro')^2,
%
%   where the penalty weights are 0 unless given (see Penalties). With
%   'loss', 'kl' the first term is the Kullback-Leibler divergence of
%   count data instead (see Count data).
%
%   Each outer iteration updates W with H held fixed, then H with W held
%   fixed, each by one greedy coordinate-descent update (greedycd's).
%   Inside, W is kept as W' (k-by-m): the update moves the k rows of one
%   column at a time, and every row of A is then one column problem.
%   Penalties enter those problems exactly: the L1 weight is added to the
%   gradient and the L2 weight to the diagonal of the Hessian. The next
%   iteration then starts from W and H pushed on along the step just made
%   (see extrapolate); one that raises f from there is undone. The whole
%   loop runs compiled (nmfsolve), its products and updates shared out over
%   threads by whole columns (see threads).
%
%   The fit is the same at any scale of A a double can hold: a very large
%   or very small A (largest value beyond 2^200 or below 2^-200) is run as
%   A times a power of two that brings its largest value near 1, and the
%   factors are multiplied back. A power of two changes no digit, so A and
%   4^p*A give factors that differ by exactly 2^p. (Values of such an A
%   smaller than about 1e-308 times its largest become zero on the way.)
%
%   Options, as a struct or as name/value pairs (names in any case; any
%   other name is refused). Each comes with an example call.
%
%   When to stop
%     maxiter    cap on outer iterations (default 500). A run that reaches
%                it while tol > 0 is not met warns, with the identifier
%                greedynmf:maxiter (warning('off', 'greedynmf:maxiter')
%                silences it).
%                  [W, H, info] = greedynmf(A, 10, 'maxiter', 100);
%     tol        the run stops once the last 10 iterations together lowered
%                f by no more than tol times f before them (all iterations
%                count while fewer than 10 have run, and an undone one never
%                stops the run; default 5e-5). Measured over 10 iterations,
%                a slow but steady fall goes on where one iteration's change
%                would stop it early; docs/peers.md has how the rule and its
%                default were chosen, over seeded starts on four problems.
%                tol = 0 runs to maxiter or maxtime; info.stop says which
%                rule ended the run.
%                  [W, H] = greedynmf(A, 10, 'tol', 1e-6);
%     maxtime    the run stops after the first iteration that ends later
%                than maxtime seconds after the call began (default Inf).
%                The compiled loop does not stop for Ctrl-C: bound a long
%                run with maxtime (or maxiter) instead.
%                  [W, H] = greedynmf(A, 10, 'maxtime', 30);
%
%   Inner work
%     maxinner   cap on greedycd's moves per column in each step (default
%                k); Inf means no cap, so that inner_tol alone ends each
%                column (refused with inner_tol = 0, which might not end)
%                  [W, H] = greedynmf(A, 10, 'maxinner', 20);
%     inner_tol  greedycd's tolerance: a column stops once a move lowers f
%                by less than inner_tol times the largest reduction any
%                entry offered at the start of that step (default 1e-5)
%                  [W, H] = greedynmf(A, 10, 'inner_tol', 1e-3);
%                Over seeded starts on four problems, near-exact steps
%                (maxinner Inf, inner_tol 1e-6) ended a little lower on
%                two and higher on the other two, and took longer
%                (docs/peers.md, Inner work).
%
%     extrapolate
%                true (default): each iteration that lowers f hands the
%                next one W + beta*(W - W_before) and the same of H,
%                negative entries set to zero, where W_before is W before
%                it; beta starts at 0.5 and grows by 5% with each such
%                iteration, up to a ceiling that grows by 1% to 1. An
%                iteration that raises f from pushed factors is undone (it
%                counts toward maxiter): the next starts from the factors
%                kept, with beta divided by 1.5 and the ceiling set to
%                the beta that failed. W and H are the factors last kept,
%                of f = info.objective(end). Over seeded starts on Fashion-MNIST,
%                sparse synthetic data and real text this reached
%                scikit-learn cd's 200-iteration objective 2 to 4 times
%                sooner than without it (median start), ending as low or
%                lower (docs/peers.md). false: each iteration starts where
%                the last ended, as in earlier versions.
%                  [W, H] = greedynmf(A, 10, 'extrapolate', false);
%
%   The start
%     init       'random' (default), 'nndsvd' or 'nndsvda'. 'random' draws
%                uniform factors scaled so that W*H has the mean of A.
%                'nndsvd' takes the non-negative parts of the leading k
%                singular pairs of A; 'nndsvda' also fills the zeros it
%                leaves with the mean of A (as scikit-learn does, so this
%                start alone depends on the scale of A). Neither draws
%                random numbers, so neither takes a seed.
%                  [W, H] = greedynmf(A, 10, 'init', 'nndsvd');
%     seed       an integer from 0 to 2^32 - 1: the random start is drawn
%                from the toolkit's own generator seeded with it
%                (SplitMix64, docs/operation-order.md), so the same seed
%                gives the same start, and the same factors, in MATLAB and
%                in Octave on every machine; the caller's generators are
%                not touched. Without it, the seed is drawn from rand's
%                current state and kept in info.replicates.seed, so that
%                the run can be made again.
%                  [W, H] = greedynmf(A, 10, 'seed', 42);
%     replicates r random starts, run one after another (default 1); the
%                run with the lowest final f is returned, and
%                info.replicates holds every start's seed and outcome.
%                Start j uses seed + j - 1, so greedynmf(A, k, 'seed',
%                seed + j - 1) makes the same run again; without 'seed' the
%                seeds are drawn from rand's current state. maxtime and
%                info.time count from the call's start.
%                  [W, H, info] = greedynmf(A, 10, 'replicates', 5, 'seed', 1);
%                  [info.replicates.objective]
%     W0, H0     the start itself (m-by-k and k-by-n, non-negative; give
%                both, and neither init, seed nor replicates)
%                  [W, H] = greedynmf(A, 10, 'W0', W, 'H0', H, 'maxiter', 50);
%
%   Penalties (default 0; each a finite, non-negative weight)
%     l1_W, l2_W, l1_H, l2_H
%                the weights in f above. L1 weights make the factors
%                sparser, L2 weights keep them small.
%                  [W, H] = greedynmf(A, 10, 'l1_H', 0.5, 'l2_W', 0.1);
%     alpha_W, alpha_H, l1_ratio
%                scikit-learn's form of the same penalties (not to be
%                mixed with the weights above): with A as scikit-learn's X,
%                  l1_W = alpha_W*l1_ratio*n,  l2_W = alpha_W*(1 - l1_ratio)*n,
%                  l1_H = alpha_H*l1_ratio*m,  l2_H = alpha_H*(1 - l1_ratio)*m.
%                alpha_H defaults to alpha_W ('same' says so too) and
%                l1_ratio (from 0 to 1) to 0.
%                  [W, H] = greedynmf(A, 10, 'alpha_W', 0.01, 'l1_ratio', 1);
%
%   Count data
%     loss       'ls' (default, least squares; also 'frobenius') or 'kl'
%                (also 'kullback-leibler'): f's first term is then
%                  D(A||W*H) = sum(A.*log(A./(W*H)) - A + W*H), 0*log(0) = 0,
%                the generalised Kullback-Leibler divergence, the Poisson
%                likelihood's, for counts: words per document, spectrogram
%                magnitudes, reads per gene. The penalties are added as
%                above. Each column of H (and row of W) is then a convex
%                problem of its own, solved by coordinate steps: cyclic
%                passes over its k entries, each a Newton step from the
%                gradient and second derivative at the entry's value,
%                clamped at zero, with W*H at A's positive entries kept in
%                step. A's zeros (a sparse A's missing entries too) enter
%                only through sum(W*H), so a pass over a column costs its
%                positive entries times k. A step that cuts an entry below
%                1/sqrt(2) of itself is kept only if it did not pass the
%                minimum; else the entry falls to that bound, which never
%                raises f, so no step raises f and W*H stays positive where
%                A is. maxinner counts the passes over each column in each
%                step (default 2; docs/peers.md, Count data, has how it was
%                chosen), inner_tol and extrapolate are refused, and the
%                start must make W*H positive wherever A is (the random and
%                'nndsvda' starts do; another is refused with the identifier
%                greedynmf:zeroModel). A row or column of A with no positive
%                entry ends as zeros in W or H. The logarithm is the
%                toolkit's own (docs/operation-order.md), so W, H and
%                info.objective are the same bits everywhere here too;
%                info.relerr is still norm(A - W*H, 'fro')/norm(A, 'fro'),
%                and verbose prints no relative error until the end.
%                  [W, H, info] = greedynmf(A, 10, 'loss', 'kl', 'seed', 1);
%
%   Incomplete data
%     mask       which entries of A are observed: a logical matrix of A's
%                size, full or sparse, true where observed; or 'zeros' for
%                a sparse A whose zeros are missing (ratings, say). f's
%                first term, the stop test and info.relerr then run over
%                the observed entries only, and an unobserved entry may
%                hold anything, NaN included (without a mask a NaN in A is
%                refused). Each row of A then gives its row of W a Hessian
%                of its own, H(:, observed)*H(:, observed)', and each
%                column of A the same for H; each is formed from the
%                shorter list, the observed entries' terms summed, or the
%                missing entries' subtracted from the full H*H'. Each row
%                and column is one greedy update of its own, which stops
%                once a move gains less than inner_tol times the largest
%                gain its own entries offered. A row or column with no
%                observed entry ends as zeros in W or H. The random start
%                is scaled to the mean of the observed entries.
%                  [W, H] = greedynmf(A, 10, 'mask', rand(size(A)) > 0.3);
%                  [W, H] = greedynmf(sparse(A .* (A > 0.5)), 10, 'mask', 'zeros');
%     weights    a non-negative matrix of A's size, full or sparse: f's
%                first term becomes 0.5*sum(weights(:).*(A(:) - W*H(:)).^2),
%                an entry of weight 0 unobserved (with a mask too, the
%                weights of its observed entries). A line with a weight
%                other than 1 forms its Hessian from its observed entries.
%                  [W, H] = greedynmf(A, 10, 'weights', 1 ./ max(A, 1));
%                Neither applies to 'loss', 'kl'. greedynmf_rank chooses k
%                by holding out observed entries.
%
%   Arithmetic
%     threads    how many threads the run shares its work among (default:
%                as many as the host allows, MATLAB's maxNumCompThreads or
%                Octave's nproc, which honours OMP_NUM_THREADS; but 1 in a
%                process started by another Octave, such as a parcellfun
%                worker, and MATLAB's pool workers have maxNumCompThreads
%                1). Never more threads than the larger side of A has
%                columns and rows. Each product and update is cut between
%                them by whole columns and no sum is ever split, so W, H
%                and info.objective are the same bits at every thread
%                count, and on every CPU and operating system, from the
%                same A, start and options: a published factorisation can
%                be made again anywhere. The random start, W0 and H0 are
%                the same everywhere; an 'nndsvd' start comes from the
%                host's eigensolver or svds, which is not.
%                  [W, H] = greedynmf(A, 10, 'threads', 1);
%     products   'fixed' (the default and the only arithmetic now): every
%                product and sum in one documented order. 'blas', which
%                handed the dense products to the host's BLAS, is accepted
%                and runs the same fixed products: at every thread count
%                measured they were as fast or faster (docs/performance.md).
%
%   Output
%     normalize  true: the factors as MATLAB's nnmf returns them, the rows
%                of H of unit length (W's columns scaled the other way) and
%                the components ordered by the length of W's columns,
%                longest first (default false). W*H is the same up to
%                rounding; with penalties, f of the rescaled factors is
%                not info.objective.
%                  [W, H] = greedynmf(A, 10, 'normalize', true);
%     verbose    print one line per outer iteration (objective, relative
%                error, relative change, seconds since the call began) and
%                the stop reason (default false)
%                  [W, H] = greedynmf(A, 10, 'verbose', true);
%
%   The defaults for maxinner and inner_tol come from timing runs, without
%   extrapolation, to a common objective on Fashion-MNIST (10000-by-784,
%   rank 20) and on a sparse 20000-by-5000 matrix with 1% non-zeros (rank
%   20), over maxinner from k/2 to 20k and inner_tol from 0 to 3e-2. The
%   two products with A cost two to three times as much as both greedycd
%   calls, so the fewest outer iterations win. Those came with about k
%   moves per column and a tolerance too small to end a column early: fewer
%   moves (k/2) leave each step too far from its optimum, while more (2k to
%   4k, or tolerances of 1e-3 and looser that spend the moves unevenly)
%   drive entries to zero early and needed 1.5 to 3 times the outer
%   iterations. Ending inner work adaptively, once a move gains little
%   against the largest gain, is what inner_tol does; its best value was
%   the smallest tried. (Runs end in local minima some 0.1% apart, and
%   which one varies with these settings.)
%
%   info is a struct with
%     objective  f at the start, then of the factors kept after each outer
%                iteration (never rising but by rounding), in A's
%                units (so beyond about 1e154 or below 1e-154 in A it
%                overflows to Inf or underflows to 0, though the run does
%                not)
%     time       seconds since the call began, at the same points
%                (time(1) is the cost of checking A and making the start)
%     relerr     norm(A - W*H, 'fro')/norm(A, 'fro') at the end (0 for a
%                zero A fitted exactly); under a mask or weights, over the
%                observed entries, each square times its weight
%     iterations the number of outer iterations made
%     stop       why the run ended: 'tol', 'maxiter' or 'maxtime'
%     threads    how many threads the run shared its work among
%     replicates one element per start: seed ([] for W0 and H0 or an SVD
%                start), objective (f at its end), relerr, iterations and
%                stop
%     best       which of them W and H come from
%
%   f is computed from its expansion: 0.5*(norm(A,'fro')^2 + sum(sum(H.*(G
%   - W'*A)))) and the penalties, where G is the gradient W'*W*H - W'*A
%   (with H's penalties) that the update of H leaves. No m-by-n residual
%   is formed. (Under a mask, W'*W*H is each column's own Hessian times
%   it, and f at the start and relerr of a penalised run are summed over
%   the observed entries directly.) The value matches the direct formula up to rounding errors
%   of order eps*norm(A,'fro')^2, which dominate only when the fit is
%   nearly exact.
%
%   Coming from MATLAB's nnmf: [W, H, D] = nnmf(A, k) becomes
%     [W, H, info] = greedynmf(A, k, 'normalize', true);
%     D = info.relerr*norm(A, 'fro')/sqrt(numel(A));
%   with 'replicates' as nnmf's, 'W0'/'H0' for 'w0'/'h0', and maxiter
%   and tol in the place of statset's MaxIter and TolFun.
%
%   Example:
%     A = rand(200, 5) * rand(5, 300) + rand(200, 300);
%     [W, H, info] = greedynmf(A, 5, 'seed', 1, 'verbose', true);
%
%   See also GREEDYNMF_PROJECT, GREEDYNMF_RANK, GREEDYCD.


  if nargin < 2
    error('greedynmf:usage', '%s', ['usage: [W, H] = greedynmf(A, k)', char(10), ...
          '       [W, H, info] = greedynmf(A, k, ''name'', value, ...)', char(10), ...
          '(help greedynmf lists the options)']);
  end
  started = tic;
  A = checked_data(A);
  k = checked_rank(k);
  [m, n] = size(A);
  [options, given] = greedynmf_options(varargin, k);
  [A, weights] = observed_data(A, given, 'greedynmf');
  refuse_bad_values(A, 'A', 'greedynmf:badInput', ...
                    ' (to leave entries out of the fit, give ''mask'', true where A is observed)');
  if ~isempty(weights) && strcmp(options.loss, 'kl')
    error('greedynmf:badOption', ['mask and weights apply to the least-squares loss; ', ...
          'leave them out with ''loss'', ''kl''']);
  end
  penalty = penalty_options(given, m, n, 'greedynmf');

  % A very large or very small A is run as A*2^(-2*half), whose largest
  % value lies in [0.5, 2), with the factors 2^(-half)*W and 2^(-half)*H.
  % Every quantity of the run then changes by an exact power of two, so it
  % is the run A itself would get, but no square or product overflows or
  % underflows on the way.
  half = floor(rescaling_exponent(A) / 2);
  A = times_power_of_two(A, -2 * half);
  settings = run_settings(options, penalty, half, k);
  [Wt0, H0] = fixed_start(A, k, options, half, weights);

  % Each start's outcome is kept, but only the best start's factors.
  seeds = start_seeds(options);
  outcomes = struct('seed', cell(1, options.replicates), 'objective', [], 'relerr', [], ...
                    'iterations', [], 'stop', []);
  for j = 1:options.replicates
    if options.verbose && options.replicates > 1
      fprintf('replicate %d of %d (seed %d)\n', j, options.replicates, seeds(j));
    end
    settings.seed = seeds(j);
    settings.elapsed = toc(started);
    [Wt, H, trace, summary] = call_nmfsolve('greedynmf', A, Wt0, H0, nmfsolve_settings(settings), weights);
    candidate = struct('Wt', Wt, 'H', H, 'trace', trace, 'summary', summary);
    clear Wt H;
    if j == 1 || candidate.trace(1, end) < run.trace(1, end)
      run = candidate;
      best = j;
    end
    if ~isnan(seeds(j))
      outcomes(j).seed = seeds(j);
    end
    outcomes(j).objective = times_power_of_two(candidate.trace(1, end), objective_power(options, half));
    outcomes(j).relerr = candidate.summary(3);
    outcomes(j).iterations = candidate.summary(1);
    outcomes(j).stop = stop_name(candidate.summary(2));
    if options.verbose
      fprintf('stopped (%s) after %d iterations, %.3g s: relative error %.4g\n', ...
              outcomes(j).stop, outcomes(j).iterations, candidate.trace(2, end), outcomes(j).relerr);
    end
    clear candidate;
  end

  info.objective = times_power_of_two(run.trace(1, :), objective_power(options, half));
  info.time = run.trace(2, :);
  info.relerr = run.summary(3);
  info.iterations = run.summary(1);
  info.stop = stop_name(run.summary(2));
  info.threads = run.summary(4);
  info.replicates = outcomes;
  info.best = best;

  if options.normalize
    [Wt, H] = nnmf_form(run.Wt, run.H);
    W = times_power_of_two(Wt', 2 * half);
  else
    W = times_power_of_two(run.Wt', half);
    H = times_power_of_two(run.H, half);
  end
  if strcmp(info.stop, 'maxiter') && info.iterations > 0 && options.tol > 0
    f = run.trace(1, :);
    window = min(10, info.iterations);
    warning('greedynmf:maxiter', ['greedynmf: reached maxiter = %d without meeting tol = %g ', ...
            '(the last %d iterations changed the objective by %.3g relative)'], ...
            info.iterations, options.tol, window, ...
            (f(end - window) - f(end)) / max(f(end - window), realmin));
  end
end

function settings = run_settings(options, penalty, half, k)
% What every start's run shares. The run's f is f of A itself times
% 2^(-4*half) (least squares, of the square of A) or 2^(-2*half) (kl, of A),
% and each penalty takes the power that keeps its share of f: one on the
% sum of a factor scales as the factor, one on its square as the square. A
% weight beyond the largest double is the largest double, which zeroes the
% factor either way.
  kl = strcmp(options.loss, 'kl');
  settings = struct('task', 1, 'rank', k, 'maxiter', options.maxiter, 'tol', options.tol, ...
                    'maxtime', options.maxtime, 'maxinner', options.maxinner, ...
                    'inner_tol', options.inner_tol, 'extrapolate', options.extrapolate, ...
                    'threads', options.threads, 'verbose', options.verbose, ...
                    'objective_scale', objective_power(options, half), 'loss', kl);
  settings.l1_W = min(times_power_of_two(penalty.l1_W, -(3 - 2 * kl) * half), realmax);
  settings.l2_W = min(times_power_of_two(penalty.l2_W, -(2 - 2 * kl) * half), realmax);
  settings.l1_H = min(times_power_of_two(penalty.l1_H, -(3 - 2 * kl) * half), realmax);
  settings.l2_H = min(times_power_of_two(penalty.l2_H, -(2 - 2 * kl) * half), realmax);
end

function p = objective_power(options, half)
% The power of two that brings the run's f back to A's units.
  p = 4 * half;
  if strcmp(options.loss, 'kl')
    p = 2 * half;
  end
end

function [Wt0, H0] = fixed_start(A, k, options, half, weights)
% The start every run takes, in the run's scale: W0 and H0, or an SVD
% start. Empty for random starts, which nmfsolve draws from each seed.
  [m, n] = size(A);
  Wt0 = [];
  H0 = [];
  if ~isempty(options.W0)
    Wt0 = times_power_of_two(checked_start(options.W0, [m, k], 'W0')', -half);
    H0 = times_power_of_two(checked_start(options.H0, [k, n], 'H0'), -half);
    if ~any(Wt0(:)) && ~any(H0(:))
      % Both gradients are zero there, so no iteration would leave it.
      error('greedynmf:badOption', ['W0 and H0 are both zero, a start greedynmf cannot ', ...
            'leave: give a start with a non-zero entry, or leave W0 and H0 out']);
    end
  elseif ~strcmp(options.init, 'random')
    % 'nndsvda' fills with the mean of A itself, which scales as A does,
    % not as the factors do.
    % The mean over the observed entries; A's unobserved ones are 0 here.
    observed = m * n;
    if ~isempty(weights)
      observed = nnz(weights);
    end
    fill = times_power_of_two(full(sum(nonzeros(A))) / observed, half);
    [Wt0, H0] = nmf_start(A, k, options.init, fill);
  end
end

function seeds = start_seeds(options)
% One seed per random start: 'seed', 'seed' + 1, ..., or drawn from the
% caller's generator, so that each start can be made again with 'seed';
% NaN for a start that draws nothing.
  r = options.replicates;
  if ~isempty(options.W0) || ~strcmp(options.init, 'random')
    seeds = NaN;
  elseif ~isempty(options.seed)
    seeds = options.seed + (0:r - 1);
  else
    seeds = floor(rand(1, r) * 2^32);
  end
end

function name = stop_name(code)
  names = {'tol', 'maxiter', 'maxtime'};
  name = names{code + 1};
end

function A = checked_data(A)
  if ~(isnumeric(A) || islogical(A)) || ~isreal(A) || ndims(A) ~= 2 || isempty(A)
    error('greedynmf:badInput', 'A must be a non-empty, real, numeric 2-D matrix');
  end
  if ~isa(A, 'double')
    A = double(A);
  end
end

function k = checked_rank(k)
  if ~(isnumeric(k) || islogical(k)) || ~isscalar(k) || ~isreal(k) || ~isfinite(k) ...
      || k < 1 || k ~= fix(k)
    error('greedynmf:badInput', 'k must be a positive integer');
  end
  k = double(k);
end

function X = checked_start(X, shape, name)
  if ~(isnumeric(X) || islogical(X)) || ~isreal(X) || ~isequal(size(X), shape)
    error('greedynmf:badOption', '%s must be a real %d-by-%d matrix', name, shape(1), shape(2));
  end
  X = full(double(X));
  refuse_bad_values(X, name, 'greedynmf:badOption');
end

%!test
%! % A rank-3 product is fitted closely from a seeded start, which is
%! % repeatable and leaves the caller's generator alone.
%! A = [1 0 2; 0 1 1; 1 1 0; 2 0 1] * [1 2 0 1 0; 0 1 1 0 2; 1 0 1 1 1];
%! state = rand ('state');
%! [W, H, info] = greedynmf (A, 3, 'seed', 4, 'tol', 0, 'maxiter', 300);
%! assert (isequal (rand ('state'), state));
%! assert (size (W), [4, 3]);
%! assert (size (H), [3, 5]);
%! assert (all (W(:) >= 0) && all (H(:) >= 0));
%! assert (info.relerr < 1e-3);
%! [W2, H2] = greedynmf (A, 3, struct ('seed', 4, 'tol', 0, 'maxiter', 300));
%! assert (isequal (W, W2) && isequal (H, H2));
%!error <unknown option 'maxIters'> greedynmf (rand (3), 1, 'maxIters', 5)
%!demo
%! A = rand (200, 5) * rand (5, 300) + rand (200, 300);
%! [W, H, info] = greedynmf (A, 5, 'seed', 1, 'verbose', true);
%! printf ('relative error %.3g after %d iterations\n', info.relerr, info.iterations);
