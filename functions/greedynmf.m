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
%   where the penalty weights are 0 unless given (see Penalties).
%
%   Each outer iteration updates W with H held fixed, then H with W held
%   fixed, each by one call of greedycd. Inside, W is kept as W' (k-by-m):
%   greedycd updates the k rows of one column at a time, and every row of A
%   is then one column problem. Penalties enter those problems exactly: the
%   L1 weight is added to the gradient and the L2 weight to the diagonal of
%   the Hessian. The next iteration then starts from W and H pushed on
%   along the step just made (see extrapolate); one that raises f from
%   there is undone.
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
%     tol        the run stops once an iteration lowers f by no more than
%                tol*f, relative to f before it (default 1e-4)
%                  [W, H] = greedynmf(A, 10, 'tol', 1e-6);
%     maxtime    the run stops after the first iteration that ends later
%                than maxtime seconds after the call began (default Inf)
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
%     seed       a non-negative integer: the random start is drawn with
%                rand seeded from it, and the caller's generators are left
%                as they were (in Octave also after rand('seed', s)).
%                Without it, the start draws from the current state.
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
%   Arithmetic
%     products   'fixed' (default) or 'blas'. 'fixed' makes every product and
%                sum of the run with fixedtimes, in one documented order, so
%                that W, H and info.objective are the same bits on every
%                CPU, operating system and thread count from the same A,
%                start and options: a published factorisation can be made
%                again anywhere. 'blas' hands the dense products to the
%                host's BLAS, whose bits change with the CPU, the library
%                and its threads; it is faster only with several BLAS
%                threads, or on CPUs whose fused multiply-add units also
%                do the adds (docs/performance.md has the figures). The
%                random start and W0, H0 are reproducible; an 'nndsvd'
%                start comes from the host's eigensolver or svds, which is
%                not.
%                  [W, H] = greedynmf(A, 10, 'products', 'blas');
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
%                zero A fitted exactly)
%     iterations the number of outer iterations made
%     stop       why the run ended: 'tol', 'maxiter' or 'maxtime'
%     replicates one element per start: seed ([] for a start drawn from the
%                caller's state, W0 and H0 or an SVD start), objective (f
%                at its end), relerr, iterations and stop
%     best       which of them W and H come from
%
%   f is computed from its expansion: 0.5*(norm(A,'fro')^2 + sum(sum(H.*(G
%   - W'*A)))) and the penalties, where G is the gradient W'*W*H - W'*A
%   (with H's penalties) that greedycd returns with H. No m-by-n residual
%   is formed. The value matches the direct formula up to rounding errors
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
%   See also GREEDYNMF_PROJECT, GREEDYCD.

  if nargin < 2
    error('greedynmf:usage', '%s', ['usage: [W, H] = greedynmf(A, k)', char(10), ...
          '       [W, H, info] = greedynmf(A, k, ''name'', value, ...)', char(10), ...
          '(help greedynmf lists the options)']);
  end
  started = tic;
  [options, given] = parse_options(varargin);
  [A, sparse_A] = checked_data(A);
  k = checked_rank(k);
  [m, n] = size(A);
  options = resolve_inner_defaults(options, k);
  penalty = penalty_options(given, m, n, 'greedynmf');

  % A very large or very small A is run as A*2^(-2*half), whose largest
  % value lies in [0.5, 2), with the factors 2^(-half)*W and 2^(-half)*H.
  % Every quantity of the run then changes by an exact power of two, so it
  % is the run A itself would get, but no square or product overflows or
  % underflows on the way.
  half = floor(rescaling_exponent(A) / 2);
  problem = scaled_problem(A, sparse_A, half, penalty, options.fixed);
  clear A;
  if ~isempty(options.W0)
    options.W0 = times_power_of_two(checked_start(options.W0, [m, k], 'W0')', -half);
    options.H0 = times_power_of_two(checked_start(options.H0, [k, n], 'H0'), -half);
  end

  % Each start's outcome is kept, but only the best start's factors.
  seeds = start_seeds(options);
  outcomes = struct('seed', cell(1, options.replicates), 'objective', [], 'relerr', [], ...
                    'iterations', [], 'stop', []);
  for j = 1:options.replicates
    if options.verbose && options.replicates > 1
      fprintf('replicate %d of %d (seed %d)\n', j, options.replicates, seeds(j));
    end
    candidate = run_from_start(problem, k, options, seeds(j), started);
    if j == 1 || candidate.objective(end) < run.objective(end)
      run = candidate;
      best = j;
    end
    if ~isnan(seeds(j))
      outcomes(j).seed = seeds(j);
    end
    outcomes(j).objective = times_power_of_two(candidate.objective(end), 4 * half);
    outcomes(j).relerr = candidate.relerr;
    outcomes(j).iterations = candidate.iterations;
    outcomes(j).stop = candidate.stop;
    clear candidate;
  end

  info.objective = times_power_of_two(run.objective, 4 * half);
  info.time = run.time;
  info.relerr = run.relerr;
  info.iterations = run.iterations;
  info.stop = run.stop;
  info.replicates = outcomes;
  info.best = best;

  Wt = run.Wt;
  H = run.H;
  if options.normalize
    [Wt, H] = nnmf_form(Wt, H, options.fixed);
    W = times_power_of_two(Wt', 2 * half);
  else
    W = times_power_of_two(Wt', half);
    H = times_power_of_two(H, half);
  end
  if strcmp(info.stop, 'maxiter') && info.iterations > 0 && options.tol > 0
    warning('greedynmf:maxiter', ['greedynmf: reached maxiter = %d without meeting tol = %g ', ...
            '(the last iteration changed the objective by %.3g relative)'], ...
            info.iterations, options.tol, run.change);
  end
end

function problem = scaled_problem(A, sparse_A, half, penalty, fixed)
% A and the penalty weights in the scale the run works in: an objective
% 2^(-4*half) times A's own.
  [m, n] = size(A);
  problem.A = times_power_of_two(A, -2 * half);
  problem.fixed = fixed;
  if sparse_A
    stored = nonzeros(problem.A);
    problem.norm2_A = dot_all(stored, stored, fixed);
    problem.mean_A = sum_all(stored, fixed) / (m * n);
    clear stored;
    % Full times sparse is the fast way round, and H*A' would transpose A
    % every time.
    problem.At = problem.A';
  else
    problem.At = [];
    problem.norm2_A = dot_all(problem.A, problem.A, fixed);
    problem.mean_A = sum_all(problem.A, fixed) / (m * n);
  end
  problem.norm_A = sqrt(problem.norm2_A);
  % 'nndsvda' fills with the mean of A itself, so it scales as A does, not
  % as the factors do.
  problem.fill = times_power_of_two(problem.mean_A, half);
  % A penalty on the sum of a factor scales as A times the factor, one on
  % its square as the factor squared. A weight beyond the largest double is
  % the largest double: either zeroes the factor.
  problem.l1_W = min(times_power_of_two(penalty.l1_W, -3 * half), realmax);
  problem.l2_W = min(times_power_of_two(penalty.l2_W, -2 * half), realmax);
  problem.l1_H = min(times_power_of_two(penalty.l1_H, -3 * half), realmax);
  problem.l2_H = min(times_power_of_two(penalty.l2_H, -2 * half), realmax);
  problem.penalised = any([problem.l1_W, problem.l2_W, problem.l1_H, problem.l2_H] ~= 0);
  problem.objective_scale = 4 * half;
end

function seeds = start_seeds(options)
% One seed per start: 'seed', 'seed' + 1, ... With no seed, one start
% draws from the caller's generator as it stands (NaN); several draw
% their seeds from it, so that each start can be made again with 'seed'.
  r = options.replicates;
  if ~isempty(options.seed)
    seeds = options.seed + (0:r - 1);
  elseif r == 1
    seeds = NaN;
  else
    seeds = floor(rand(1, r) * 2^32);
  end
end

function run = run_from_start(problem, k, options, seed, started)
  if ~isempty(options.W0)
    Wt = options.W0;
    H = options.H0;
  elseif isnan(seed)
    [Wt, H] = nmf_start(problem.A, k, problem.mean_A, options.init, problem.fill);
  else
    saved = seed_uniform_generator(seed);
    try
      [Wt, H] = nmf_start(problem.A, k, problem.mean_A, options.init, problem.fill);
    catch failure
      restore_uniform_generator(saved);
      rethrow(failure);
    end
    restore_uniform_generator(saved);
  end
  run = fit(problem, Wt, H, options, started);
end

function run = fit(problem, Wt, H, options, started)
  A = problem.A;
  At = problem.At;
  norm2_A = problem.norm2_A;
  maxiter = options.maxiter;
  run.objective = zeros(1, min(maxiter, 10000) + 1);
  run.time = zeros(size(run.objective));

  fixed = problem.fixed;
  HHt = gram(H, fixed);
  HAt = times_transposed(A, At, H, fixed);
  residual = expanded_residual(norm2_A, Wt, HAt, HHt, fixed);
  f = residual + penalty_value(Wt, problem.l1_W, problem.l2_W, fixed) ...
      + penalty_value(H, problem.l1_H, problem.l2_H, fixed);
  run.objective(1) = f;
  run.time(1) = toc(started);
  if options.verbose
    fprintf('%6s %14s %10s %11s %10s\n', 'iter', 'objective', 'rel.error', 'rel.change', 'time (s)');
    fprintf('%6d %14.7g %10.4g %11s %10.3g\n', 0, times_power_of_two(f, problem.objective_scale), ...
            relative_error(residual, problem), '', run.time(1));
  end

  % The run keeps the factors of the lowest f so far; with extrapolation the
  % next iteration may start beyond them, from W and H pushed on along the
  % last step.
  kept = struct('Wt', Wt, 'H', H, 'f', f, 'residual', residual);
  push = extrapolation_start();
  pushed = false;
  iter = 0;
  stop = 'maxiter';
  while iter < maxiter
    iter = iter + 1;
    if iter > 1
      % The starting objective formed these for the first iteration.
      HHt = gram(H, fixed);
      HAt = times_transposed(A, At, H, fixed);
    end
    [Q, G] = penalised_problem(HHt, HAt, Wt, problem.l1_W, problem.l2_W, fixed);
    Wt = greedycd(G, Q, Wt, options.inner_tol, options.maxinner);
    WWt = gram(Wt, fixed);
    WA = times_data(Wt, A, ~isempty(At), fixed);
    [Q, G] = penalised_problem(WWt, WA, H, problem.l1_H, problem.l2_H, fixed);
    [H, G] = greedycd(G, Q, H, options.inner_tol, options.maxinner);
    % G = (WWt + l2_H*I)*H - WA + l1_H at the new H, so 0.5*<H, WWt*H> -
    % <H, WA> needs no further product: half of <H, G - WA>, less half of
    % H's penalty terms without their own halves.
    f_previous = kept.f;
    surplus = 0;
    if problem.l1_H ~= 0 || problem.l2_H ~= 0
      surplus = 0.5 * (problem.l1_H * sum_all(H, fixed) + problem.l2_H * dot_all(H, H, fixed));
    end
    residual = max(0.5 * (norm2_A + dot_all(H, G - WA, fixed)) - surplus, 0);
    f = residual + penalty_value(Wt, problem.l1_W, problem.l2_W, fixed) ...
        + penalty_value(H, problem.l1_H, problem.l2_H, fixed);
    % An iteration from pushed factors that raised f is undone. One from the
    % kept factors themselves is kept even if rounding raised f, so that a
    % converged run still meets tol.
    undone = pushed && ~(f <= kept.f);
    if undone
      push = extrapolation_undone(push);
      Wt = kept.Wt;
      H = kept.H;
      pushed = false;
    else
      previous = kept;
      kept = struct('Wt', Wt, 'H', H, 'f', f, 'residual', residual);
      if options.extrapolate
        [Wt, H, push] = extrapolated(kept, previous, push);
        pushed = true;
      end
    end
    elapsed = toc(started);
    if iter + 1 > numel(run.objective)
      run.objective(2 * iter) = 0;
      run.time(2 * iter) = 0;
    end
    run.objective(iter + 1) = kept.f;
    run.time(iter + 1) = elapsed;

    change = abs(f_previous - kept.f);
    if options.verbose
      fprintf('%6d %14.7g %10.4g %11.3e %10.3g', iter, times_power_of_two(kept.f, problem.objective_scale), ...
              relative_error(kept.residual, problem), change / max(f_previous, realmin), elapsed);
      if undone
        fprintf('  undone (f rose from the pushed start)');
      end
      fprintf('\n');
    end
    if ~undone && change <= options.tol * f_previous
      stop = 'tol';
      break;
    end
    if elapsed > options.maxtime
      stop = 'maxtime';
      break;
    end
  end

  run.objective = run.objective(1:iter + 1);
  run.time = run.time(1:iter + 1);
  Wt = kept.Wt;
  H = kept.H;
  residual = kept.residual;
  if problem.penalised
    % Penalised: the residual from its own expansion, not as the difference
    % of two larger numbers.
    residual = expanded_residual(norm2_A, Wt, times_transposed(A, At, H, fixed), gram(H, fixed), ...
                                 fixed);
  end
  run.relerr = relative_error(residual, problem);
  run.change = change_of_last(run.objective(1:iter + 1));
  run.iterations = iter;
  run.stop = stop;
  run.Wt = Wt;
  run.H = H;
  if options.verbose
    fprintf('stopped (%s) after %d iterations, %.3g s: relative error %.4g\n', ...
            stop, iter, run.time(end), run.relerr);
  end
end

function push = extrapolation_start()
% How far the next iteration starts beyond the factors just found, as a
% fraction beta of the step that found them. beta grows while pushing pays
% and falls back when an iteration from pushed factors raises f; its
% ceiling drops to the beta that failed and creeps back up to 1. (The
% schedule of Ang and Gillis's extrapolated NMF, Neural Computation 31,
% 2019: growth 1.05, ceiling growth 1.01, fall 1.5.)
  push = struct('beta', 0.5, 'ceiling', 1);
end

function [Wt, H, push] = extrapolated(kept, previous, push)
  Wt = pushed_on(kept.Wt, previous.Wt, push.beta);
  H = pushed_on(kept.H, previous.H, push.beta);
  push.beta = min(push.ceiling, 1.05 * push.beta);
  push.ceiling = min(1, 1.01 * push.ceiling);
end

function push = extrapolation_undone(push)
  push.ceiling = push.beta;
  push.beta = push.beta / 1.5;
end

function X = pushed_on(X, X_before, beta)
% X + beta*(X - X_before), each operation rounded on its own, with the
% entries that fall below zero set to zero.
  X = X + beta * (X - X_before);
  X(X < 0) = 0;
end

function f = expanded_residual(norm2_A, Wt, HAt, HHt, fixed)
% 0.5*norm(A - W*H, 'fro')^2 from its expansion; no m-by-n residual.
  f = 0.5 * norm2_A - dot_all(Wt, HAt, fixed) + 0.5 * dot_all(gram(Wt, fixed), HHt, fixed);
  f = max(f, 0);
end

function c = change_of_last(objective)
% The relative change the last iteration made.
  c = NaN;
  if numel(objective) > 1
    c = abs(objective(end - 1) - objective(end)) / max(objective(end - 1), realmin);
  end
end

function p = penalty_value(X, l1, l2, fixed)
  p = 0;
  if l1 ~= 0
    p = l1 * sum_all(X, fixed);
  end
  if l2 ~= 0
    p = p + 0.5 * l2 * dot_all(X, X, fixed);
  end
end

% The products and sums of a run. Fixed, each is fixedtimes in its one
% order; otherwise the dense products go to the BLAS. A sparse A always
% goes through sparsetimes, which has one order either way.

function HAt = times_transposed(A, At, H, fixed)
% H*A'. For a full A, Octave would form H*A' through a transposed copy of
% A; A*H' runs as one product, and its transpose is only k-by-m. A sparse A
% is multiplied as its transpose At, made once: gathering beats scattering.
  if ~isempty(At)
    HAt = sparsetimes(H, At);
  elseif fixed
    HAt = fixedtimes(H, A, true);
  else
    HAt = (A * H')';
  end
end

function P = times_data(X, A, sparse_A, fixed)
% X*A; sparsetimes gives the bits of Octave's own product, in a fraction of
% the time.
  if sparse_A
    P = sparsetimes(X, A);
  elseif fixed
    P = fixedtimes(X, A);
  else
    P = X * A;
  end
end

function G = gram(X, fixed)
% X*X'.
  if fixed
    G = fixedtimes(X, X, true);
  else
    G = X * X';
  end
end

function s = dot_all(X, Y, fixed)
% sum(X(:).*Y(:)), in storage order when fixed. (A reshape shares X's
% storage; X(:)' would copy it.)
  if fixed
    s = fixedtimes(reshape(X, 1, []), Y(:));
  else
    s = X(:)' * Y(:);
  end
end

function s = sum_all(X, fixed)
% sum(X(:)): fixed, as column sums and then their sum, each in order.
  if fixed
    s = fixedtimes(fixedtimes(ones(1, rows(X)), X), ones(columns(X), 1));
  else
    s = sum(X(:));
  end
end

function e = relative_error(residual, problem)
% norm(A - W*H, 'fro')/norm(A, 'fro') from 0.5*norm(A - W*H, 'fro')^2.
  if residual == 0
    e = 0;
  else
    e = sqrt(2 * residual) / problem.norm_A;
  end
end

function [Wt, H] = nnmf_form(Wt, H, fixed)
% The rows of H scaled to unit length (a zero row stays zero) and W's
% columns by as much the other way, then the components ordered by the
% length of W's columns, longest first.
  lengths = sqrt(row_sums(H .^ 2, fixed));
  lengths(lengths == 0) = 1;
  H = H ./ lengths;
  Wt = Wt .* lengths;
  [~, order] = sort(sqrt(row_sums(Wt .^ 2, fixed)), 'descend');
  Wt = Wt(order, :);
  H = H(order, :);
end

function s = row_sums(X, fixed)
  if fixed
    s = fixedtimes(X, ones(columns(X), 1));
  else
    s = sum(X, 2);
  end
end

function [A, is_sparse] = checked_data(A)
  if ~(isnumeric(A) || islogical(A)) || ~isreal(A) || ndims(A) ~= 2 || isempty(A)
    error('greedynmf:badInput', 'A must be a non-empty, real, numeric 2-D matrix');
  end
  is_sparse = issparse(A);
  if ~isa(A, 'double')
    A = double(A);
  end
  refuse_bad_values(A, 'A', 'greedynmf:badInput');
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

function [options, given] = parse_options(args)
  names = {'maxiter', 'tol', 'maxtime', 'maxinner', 'inner_tol', 'init', 'seed', ...
           'replicates', 'W0', 'H0', 'l1_W', 'l2_W', 'l1_H', 'l2_H', ...
           'alpha_W', 'alpha_H', 'l1_ratio', 'extrapolate', 'products', 'normalize', 'verbose'};
  given = parse_named_options(args, names, 'greedynmf');
  read = @(name, default, kind) read_option(given, name, default, kind, 'greedynmf');
  options.maxiter = read('maxiter', 500, 'count_or_inf');
  options.tol = read('tol', 1e-4, 'nonnegative');
  options.maxtime = read('maxtime', Inf, 'positive');
  options.maxinner = read('maxinner', [], 'positive_count_or_inf');
  options.inner_tol = read('inner_tol', [], 'nonnegative');
  options.seed = read('seed', [], 'count');
  options.replicates = read('replicates', 1, 'positive_count');
  options.extrapolate = read('extrapolate', true, 'logical');
  options.normalize = read('normalize', false, 'logical');
  options.verbose = read('verbose', false, 'logical');
  if ~isempty(options.seed) && options.seed + options.replicates > 2^32
    error('greedynmf:badOption', 'seed + replicates - 1 must be below 2^32');
  end
  options.fixed = true;
  if isfield(given, 'products')
    products = given.products;
    if ~ischar(products) || ~any(strcmpi(products, {'fixed', 'blas'}))
      error('greedynmf:badOption', 'products must be ''fixed'' or ''blas''');
    end
    options.fixed = strcmpi(products, 'fixed');
  end
  options.init = 'random';
  if isfield(given, 'init')
    init = given.init;
    if ~ischar(init) || ~any(strcmpi(init, {'random', 'nndsvd', 'nndsvda'}))
      error('greedynmf:badOption', 'init must be ''random'', ''nndsvd'' or ''nndsvda''');
    end
    options.init = lower(init);
  end
  if ~strcmp(options.init, 'random')
    if isfield(given, 'seed')
      error('greedynmf:badOption', ...
            'seed draws a random start; init ''%s'' is not random', options.init);
    end
    if options.replicates > 1
      error('greedynmf:badOption', ...
            'replicates need random starts; init ''%s'' gives the same start each time', options.init);
    end
  end
  if isfield(given, 'W0') ~= isfield(given, 'H0')
    error('greedynmf:badOption', 'W0 and H0 must be given together');
  end
  options.W0 = [];
  options.H0 = [];
  if isfield(given, 'W0')
    if isfield(given, 'init') || isfield(given, 'seed')
      error('greedynmf:badOption', 'W0 and H0 are the start; init and seed cannot be given with them');
    end
    if options.replicates > 1
      error('greedynmf:badOption', 'replicates need random starts; W0 and H0 are one start');
    end
    options.W0 = given.W0;
    options.H0 = given.H0;
  end
end

function options = resolve_inner_defaults(options, k)
  if isempty(options.inner_tol)
    options.inner_tol = 1e-5;
  end
  if isempty(options.maxinner)
    options.maxinner = k;
  end
  if isinf(options.maxinner)
    if options.inner_tol <= 0
      error('greedynmf:badOption', ...
            'maxinner = Inf needs inner_tol > 0: with neither, a step might never end');
    end
  end
  % greedycd counts moves in 32 bits; any cap beyond that is no cap.
  options.maxinner = min(options.maxinner, 2^31 - 1);
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
