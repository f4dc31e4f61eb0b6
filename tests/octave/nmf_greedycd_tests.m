% The factorisation driver on small problems: the alternation, the stopping
% rules, the history it returns and the inputs it refuses.

%!shared V, W0, H0, k
%! rand ("state", 7);
%! k = 3;
%! V = rand (12, k) * rand (k, 15);
%! W0 = rand (k, 12);
%! H0 = rand (k, 15);

%!test
%! % A rank-k matrix is fitted closely, the objective never rises, the factors
%! % stay non-negative, and the caller's starting factors are left alone.
%! W0_before = W0 + 0;
%! H0_before = H0 + 0;
%! [W, H, history] = nmf_greedycd (V, k, struct ("W0", W0, "H0", H0, "maxiter", 200, "tol", 0));
%! assert (size (W), [k, 12]);
%! assert (size (H), [k, 15]);
%! assert (all (W(:) >= 0) && all (H(:) >= 0));
%! assert (numel (history.objective), numel (history.seconds) + 1);
%! assert (all (history.seconds >= 0));
%! f = history.objective;
%! assert (all (diff (f) <= 1e-12 * f(1)), "the objective rose");
%! assert (f(end), 0.5 * norm (V - W' * H, "fro")^2, 1e-10 * f(1));
%! assert (f(end) < 1e-3 * f(1), "a rank-3 matrix was not fitted");
%! assert (W0, W0_before);
%! assert (H0, H0_before);
%! [~, ~, again] = nmf_greedycd (V, k, struct ("W0", W0, "H0", H0, "maxiter", 3, "tol", 0));
%! assert (again.objective, f(1:4));

%!test
%! % One outer iteration with enough inner moves solves both subproblems, W
%! % against H0 and then H against the new W: the optimality conditions of
%! % non-negative least squares hold.
%! [W, H] = nmf_greedycd (V, k, struct ("W0", W0, "H0", H0, "maxiter", 1, ...
%!                                      "inner_tol", 0, "maxinner", 1e5));
%! for step = {{H0 * H0', H0 * V', W}, {W * W', W * V, H}}
%!   [hessian, linear, X] = step{1}{:};
%!   gradient = hessian * X - linear;
%!   scale = max (abs (linear(:)));
%!   assert (all (gradient(:) >= -1e-9 * scale), "a coordinate could still descend");
%!   assert (all (abs (gradient(X > 0)) <= 1e-9 * scale), "a positive coordinate is not stationary");
%! end

%!test
%! % A loose tolerance ends after one iteration, a zero one runs to the cap.
%! [~, ~, history] = nmf_greedycd (V, k, struct ("W0", W0, "H0", H0, "tol", 1));
%! assert ([numel(history.seconds), numel(history.objective)], [1, 2]);
%! [~, ~, history] = nmf_greedycd (V, k, struct ("W0", W0, "H0", H0, "tol", 0, "maxiter", 4));
%! assert ([numel(history.seconds), numel(history.objective)], [4, 5]);

%!test
%! % Random starting factors when none are given.
%! [W, H, history] = nmf_greedycd (V, 2, struct ("maxiter", 5));
%! assert (size (W), [2, 12]);
%! assert (size (H), [2, 15]);
%! assert (history.objective(end) < history.objective(1));

%!test
%! % An all-zero V is fitted exactly by zero factors at once.
%! [W, H, history] = nmf_greedycd (zeros (4, 5), 2);
%! assert (! any (W(:)) && ! any (H(:)));
%! assert (history.objective, [0, 0]);

%!error id=nmf_greedycd:badInput nmf_greedycd (-V, k)
%!error id=nmf_greedycd:badInput nmf_greedycd ([V(:, 1:end-1), [NaN; V(2:end, end)]], k)
%!error id=nmf_greedycd:badInput nmf_greedycd (zeros (0, 3), 1)
%!error id=nmf_greedycd:badInput nmf_greedycd (V, 0)
%!error id=nmf_greedycd:badInput nmf_greedycd (V, 1.5)
%!error id=nmf_greedycd:badInput nmf_greedycd (V, k, struct ("W0", W0', "H0", H0))
%!error id=nmf_greedycd:badInput nmf_greedycd (V, k, struct ("W0", -W0, "H0", H0))
