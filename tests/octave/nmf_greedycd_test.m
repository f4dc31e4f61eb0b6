function nmf_greedycd_test()
% The factorisation driver on small problems: the alternation, the stopping
% rules, the history it returns and the inputs it refuses.
  rand('state', 7);
  m = 12;
  n = 15;
  k = 3;
  V = rand(m, k) * rand(k, n);
  W0 = rand(k, m);
  H0 = rand(k, n);
  W0_before = W0 + 0;
  H0_before = H0 + 0;

  % A rank-k matrix is fitted closely, the objective never rises and the
  % factors stay non-negative.
  [W, H, history] = nmf_greedycd(V, k, struct('W0', W0, 'H0', H0, 'maxiter', 200, 'tol', 0));
  assert(isequal(size(W), [k, m]) && isequal(size(H), [k, n]));
  assert(all(W(:) >= 0) && all(H(:) >= 0));
  assert(numel(history.objective) == numel(history.seconds) + 1);
  assert(all(history.seconds >= 0));
  f = history.objective;
  assert(all(diff(f) <= 1e-12 * f(1)), 'the objective rose');
  assert(abs(f(end) - 0.5 * norm(V - W' * H, 'fro')^2) <= 1e-10 * f(1), ...
         'the tracked objective is not that of the returned factors');
  assert(f(end) < 1e-3 * f(1), 'a rank-%d matrix was not fitted', k);

  % The caller's starting factors are left as they were, and a second run
  % from them retraces the first.
  assert(isequal(W0, W0_before) && isequal(H0, H0_before), 'the starting factors were changed');
  [~, ~, again] = nmf_greedycd(V, k, struct('W0', W0, 'H0', H0, 'maxiter', 3, 'tol', 0));
  assert(isequal(again.objective, f(1:4)), 'runs from the same start differ');

  % One outer iteration with enough inner moves solves both subproblems:
  % W against H0 first, then H against the new W (optimality conditions of
  % a non-negative least-squares problem).
  [W, H] = nmf_greedycd(V, k, struct('W0', W0, 'H0', H0, 'maxiter', 1, ...
                                     'inner_tol', 0, 'maxinner', 1e5));
  assert_nonnegative_least_squares(H0 * H0', H0 * V', W);
  assert_nonnegative_least_squares(W * W', W * V, H);

  % Stopping: a loose tolerance ends after one iteration, a zero one runs to the cap.
  [~, ~, history] = nmf_greedycd(V, k, struct('W0', W0, 'H0', H0, 'tol', 1));
  assert(numel(history.seconds) == 1 && numel(history.objective) == 2);
  [~, ~, history] = nmf_greedycd(V, k, struct('W0', W0, 'H0', H0, 'tol', 0, 'maxiter', 4));
  assert(numel(history.seconds) == 4 && numel(history.objective) == 5);

  % Random starting factors when none are given.
  [W, H, history] = nmf_greedycd(V, 2, struct('maxiter', 5));
  assert(isequal(size(W), [2, m]) && isequal(size(H), [2, n]));
  assert(history.objective(end) < history.objective(1));

  % An all-zero V is fitted exactly by zero factors at once.
  [W, H, history] = nmf_greedycd(zeros(4, 5), 2);
  assert(~any(W(:)) && ~any(H(:)) && isequal(history.objective, [0, 0]));

  refused = {{-V, k}, {[V(:, 1:end-1), [NaN; V(2:end, end)]], k}, {V, 0}, {V, 1.5}, ...
             {zeros(0, 3), 1}, {V, k, struct('W0', W0', 'H0', H0)}, ...
             {V, k, struct('W0', -W0, 'H0', H0)}};
  for i = 1:numel(refused)
    try
      nmf_greedycd(refused{i}{:});
      error('nmf_greedycd_test:notRefused', 'bad input %d was accepted', i);
    catch failure
      assert(strcmp(failure.identifier, 'nmf_greedycd:badInput'), ...
             'bad input %d: %s', i, failure.message);
    end
  end
end

function assert_nonnegative_least_squares(hessian, linear, X)
  gradient = hessian * X - linear;
  scale = max(abs(linear(:)));
  assert(all(gradient(:) >= -1e-9 * scale), 'a coordinate could still descend');
  assert(all(abs(gradient(X > 0)) <= 1e-9 * scale), 'a positive coordinate is not stationary');
end
