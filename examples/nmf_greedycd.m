function [W, H, history] = nmf_greedycd(V, k, options)
% NMF_GREEDYCD  Non-negative matrix factorisation V ~ W'*H by greedy coordinate descent.
%
%   [W, H, history] = nmf_greedycd(V, k)
%   [W, H, history] = nmf_greedycd(V, k, options)
%
%   V is a non-negative m-by-n matrix and k the rank. W (k-by-m) and H (k-by-n)
%   are non-negative, and V is approximated by W'*H. Each outer iteration
%   updates W with H held fixed, then H with W held fixed, each by one call of
%   greedycd; the H update is the W update of the transposed problem V' ~ H'*W.
%
%   The objective is f = 0.5*norm(V - W'*H, 'fro')^2. Iterations stop when
%   abs(f_previous - f) <= options.tol * f_previous, or after options.maxiter
%   outer iterations.
%
%   options (a struct; every field is optional):
%     maxiter     cap on outer iterations (default 50)
%     tol         relative change of f that ends the run (default 1e-4)
%     inner_tol   greedycd's relative tolerance (default 1e-3)
%     maxinner    greedycd's cap on moves per column (default k)
%     W0, H0      starting factors (default: uniform random, scaled so that
%                 W0'*H0 has the mean of V)
%     verbose     print one line per outer iteration (default false)
%
%   history is a struct with
%     objective   f at the start, then after each outer iteration
%                 (numel(history.seconds) + 1 values)
%     seconds     wall-clock seconds of each outer iteration
%
%   See also greedycd.

  if nargin < 3
    options = struct();
  end
  if ~isnumeric(V) || ~isreal(V) || ndims(V) ~= 2 || isempty(V) ...
      || ~all(isfinite(V(:))) || any(V(:) < 0)
    error('nmf_greedycd:badInput', 'V must be a non-empty, finite, real, non-negative matrix');
  end
  if ~isscalar(k) || ~isreal(k) || k ~= fix(k) || k < 1
    error('nmf_greedycd:badInput', 'k must be a positive integer');
  end
  V = double(V);
  [m, n] = size(V);

  maxiter = option(options, 'maxiter', 50);
  tol = option(options, 'tol', 1e-4);
  inner_tol = option(options, 'inner_tol', 1e-3);
  maxinner = option(options, 'maxinner', k);
  verbose = option(options, 'verbose', false);

  if isfield(options, 'W0') && isfield(options, 'H0')
    W = checked_start(options.W0, k, m, 'W0');
    H = checked_start(options.H0, k, n, 'H0');
  else
    W = rand(k, m);
    H = rand(k, n);
    % Match the mean of W'*H (k/4 for uniform entries) to the mean of V.
    scale = sqrt(mean(V(:)) / (k / 4));
    W = W * scale;
    H = H * scale;
  end

  Vt = V';
  half_norm_V = 0.5 * sum(V(:) .^ 2);
  f = objective_from(half_norm_V, W, H, W * V, W * W');
  history.objective = zeros(1, maxiter + 1);
  history.seconds = zeros(1, maxiter);
  history.objective(1) = f;
  if verbose
    fprintf('%5s %14s %12s %9s\n', 'iter', 'objective', 'rel.change', 'seconds');
    fprintf('%5d %14.6g %12s %9s\n', 0, f, '', '');
  end

  iterations = 0;
  for iter = 1:maxiter
    started = tic;
    % W step: min over W >= 0 of 0.5*||V' - H'*W||^2, gradient HHt*W - H*V'.
    HHt = H * H';
    W = greedycd(HHt * W - H * Vt, HHt, W, inner_tol, maxinner);
    % H step: the same problem with the roles of W and H swapped.
    WWt = W * W';
    WV = W * V;
    H = greedycd(WWt * H - WV, WWt, H, inner_tol, maxinner);
    f_previous = f;
    f = objective_from(half_norm_V, W, H, WV, WWt);
    history.seconds(iter) = toc(started);
    history.objective(iter + 1) = f;
    iterations = iter;

    change = abs(f_previous - f) / f_previous;
    if verbose
      fprintf('%5d %14.6g %12.3e %9.3f\n', iter, f, change, history.seconds(iter));
    end
    if abs(f_previous - f) <= tol * f_previous
      break;
    end
  end
  history.objective = history.objective(1:iterations + 1);
  history.seconds = history.seconds(1:iterations);
end

function f = objective_from(half_norm_V, W, H, WV, WWt)
% 0.5*||V - W'*H||^2 expanded, so that no m-by-n residual is formed.
  f = half_norm_V - sum(sum(H .* WV)) + 0.5 * sum(sum(H .* (WWt * H)));
  % Cancellation can leave a tiny negative value on an exact fit.
  if f < 0
    f = 0;
  end
end

function value = option(options, name, default)
  if isfield(options, name)
    value = options.(name);
  else
    value = default;
  end
end

function X = checked_start(X0, rows, cols, name)
  if ~isnumeric(X0) || ~isreal(X0) || ~isequal(size(X0), [rows, cols]) ...
      || ~all(isfinite(X0(:))) || any(X0(:) < 0)
    error('nmf_greedycd:badInput', '%s must be a finite, non-negative %d-by-%d matrix', ...
          name, rows, cols);
  end
  % greedycd may update its inputs in place; the arithmetic makes a private
  % copy so the caller's matrix is left alone.
  X = double(X0) + 0;
end
