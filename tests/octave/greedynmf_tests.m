% The factorisation driver: what it computes, the edge cases it must
% survive, and what it refuses.

%!shared A, W0, H0, k
%! rand ("state", 7);
%! k = 3;
%! A = rand (12, k) * rand (k, 15);
%! W0 = rand (12, k);
%! H0 = rand (k, 15);

%!function f = direct_objective (A, W, H)
%!  f = 0.5 * norm (full (A) - W * H, "fro")^2;
%!endfunction

%!function check_kkt (hessian, linear, X, tolerance)
%!  % Optimality of min 0.5*<X, hessian*X> - <linear, X> over X >= 0.
%!  gradient = hessian * X - linear;
%!  scale = max (abs (linear(:)));
%!  assert (all (gradient(:) >= -tolerance * scale), "a coordinate could still descend");
%!  assert (all (abs (gradient(X > 0)) <= tolerance * scale), "a positive coordinate is not stationary");
%!endfunction

%!test
%! % The reported objective is the direct one at every step it can be
%! % checked, it never rises beyond rounding, and A ~ W*H is fitted.
%! [W, H, info] = greedynmf (A, k, "W0", W0, "H0", H0, "maxiter", 300, "tol", 0);
%! f = info.objective;
%! assert (f(1), direct_objective (A, W0, H0), 1e-12 * f(1));
%! assert (f(end), direct_objective (A, W, H), 1e-12 * f(1));
%! assert (all (diff (f) <= 1e-13 * f(1)), "the objective rose");
%! assert ([size(W), size(H)], [12, k, k, 15]);
%! assert (f(end) < 1e-4 * f(1));
%! assert (info.relerr, sqrt (2 * f(end)) / norm (A, "fro"), 1e-12);
%! assert (all (diff (info.time) >= 0) && numel (info.time) == numel (f));
%! [~, ~, again] = greedynmf (A, k, struct ("W0", W0, "H0", H0, "maxiter", 3, "tol", 0));
%! assert (again.objective, f(1:4));

%!test
%! % One iteration with unbounded inner work solves both subproblems (W
%! % against H0, then H against the new W); a long run ends at a point
%! % where both conditions hold together.
%! [W, H] = greedynmf (A, k, "W0", W0, "H0", H0, "maxiter", 1, "inner_tol", 0, "maxinner", 1e6);
%! check_kkt (H0 * H0', H0 * A', W', 1e-9);
%! check_kkt (W' * W, W' * A, H, 1e-9);
%! B = rand (9, 4) .^ 3;
%! [W, H, info] = greedynmf (B, 2, "seed", 3, "maxiter", 3000, "tol", 0, "maxinner", Inf, "inner_tol", 1e-12);
%! check_kkt (H * H', H * B', W', 1e-7);
%! check_kkt (W' * W, W' * B, H, 1e-7);

%!test
%! % Sparse, integer, single and logical A give what the double full A gives.
%! B = round (10 * A) .* (rand (size (A)) < 0.5);
%! args = {"W0", W0, "H0", H0, "maxiter", 20, "tol", 0};
%! [W, H, info] = greedynmf (B, k, args{:});
%! [Ws, Hs, infos] = greedynmf (sparse (B), k, args{:});
%! assert (Ws, W, 1e-10 * max (W(:)));
%! assert (infos.objective, info.objective, 1e-10 * info.objective(1));
%! for C = {int32(B), single(B), uint8(B)}
%!   [Wc, Hc] = greedynmf (C{1}, int32 (k), args{:}, "maxinner", int32 (k));
%!   assert (isequal (Wc, W) && isequal (Hc, H));
%! end
%! [~, ~, info] = greedynmf (B > 4, k, args{:});
%! assert (info.objective(1), direct_objective (double (B > 4), W0, H0), 1e-12 * info.objective(1));

%!test
%! % A sparse A far too large to make full.
%! B = sprand (200000, 100000, 2e-6);
%! [W, H, info] = greedynmf (B, 2, "seed", 1, "maxiter", 3);
%! assert ([size(W), size(H)], [200000, 2, 2, 100000]);
%! assert (info.objective(end) < info.objective(1));

%!test
%! % Zero rows and columns of A get exactly zero rows of W and columns of H;
%! % k = 1 reaches the leading singular value; k > min(size(A)) fits exactly.
%! B = A;
%! B(3, :) = 0;
%! B(:, [2, 9]) = 0;
%! [W, H] = greedynmf (B, k, "W0", W0, "H0", H0, "maxiter", 5);
%! assert (all (W(3, :) == 0) && all (all (H(:, [2, 9]) == 0)));
%! [~, ~, info] = greedynmf (A, 1, "seed", 2, "tol", 1e-14, "maxiter", 5000);
%! assert (info.objective(end), 0.5 * (norm (A, "fro")^2 - norm (A)^2), 1e-9 * info.objective(1));
%! for init = {"random", "nndsvd", "nndsvda"}
%!   [W, H, info] = greedynmf (A(1:4, 1:5), 7, "init", init{1}, "seed", 1, "maxiter", 2000, "tol", 0);
%!   assert ([size(W), size(H)], [4, 7, 7, 5]);
%!   assert (info.relerr < 1e-4, "k = 7 on a 4-by-5 matrix with init %s", init{1});
%!   assert (all (diff (info.objective) <= 1e-13 * info.objective(1)), "the objective rose");
%! end

%!test
%! % NNDSVD: on a rank-one non-negative A the start is already exact.
%! u = rand (12, 1);
%! v = rand (1, 15);
%! [~, ~, info] = greedynmf (u * v, 1, "init", "nndsvd", "maxiter", 0);
%! assert (info.objective(1) <= 1e-14 * norm (u)^2 * norm (v)^2);
%! assert (info.stop, "maxiter");

%!test
%! % The seed gives a repeatable start and leaves the caller's generators be;
%! % struct and name/value options (any case) mean the same.
%! rand ("state", 11);
%! randn ("state", 12);
%! before = {rand("state"), randn("state")};
%! [W1, H1] = greedynmf (A, k, "seed", 5, "maxiter", 4);
%! [W2, H2] = greedynmf (A, k, struct ("Seed", 5, "MaxIter", 4));
%! assert ({rand("state"), randn("state")}, before);
%! assert (isequal (W1, W2) && isequal (H1, H2));
%! [W3] = greedynmf (A, k, "seed", 6, "maxiter", 4);
%! assert (! isequal (W1, W3));

%!test
%! % Stop reasons, returned and printed with cumulative time.
%! [~, ~, info] = greedynmf (A, k, "W0", W0, "H0", H0, "tol", 1);
%! assert ({info.stop, info.iterations}, {"tol", 1});
%! [~, ~, info] = greedynmf (A, k, "W0", W0, "H0", H0, "tol", 0, "maxtime", 1e-9);
%! assert ({info.stop, info.iterations}, {"maxtime", 1});
%! text = evalc ("[~, ~, info] = greedynmf (A, k, 'W0', W0, 'H0', H0, 'tol', 0, 'maxiter', 4, 'verbose', true);");
%! assert (info.stop, "maxiter");
%! assert (! isempty (strfind (text, "stopped (maxiter) after 4 iterations")));
%! % Inf caps nothing: the same as the largest cap greedycd counts.
%! [W1] = greedynmf (A, k, "W0", W0, "H0", H0, "maxiter", 2, "maxinner", Inf, "inner_tol", 1e-3);
%! [W2] = greedynmf (A, k, "W0", W0, "H0", H0, "maxiter", 2, "maxinner", 2^31 - 1, "inner_tol", 1e-3);
%! assert (isequal (W1, W2));

%!error <A must be finite and non-negative> greedynmf (-A, k)
%!error <A must be finite and non-negative> greedynmf (sparse ([0 NaN; 1 0]), 1)
%!error <A must be a non-empty, real, numeric> greedynmf (zeros (0, 3), 1)
%!error <A must be a non-empty, real, numeric> greedynmf (A + 1i, 1)
%!error <A must be a non-empty, real, numeric> greedynmf ({A}, 1)
%!error <k must be a positive integer> greedynmf (A, 1.5)
%!error <k must be a positive integer> greedynmf (A, [1 2])
%!error <unknown option 'maxiters'; the options are maxiter, tol> greedynmf (A, k, "maxiters", 5)
%!error <options must be one struct or name/value pairs, not a double> greedynmf (A, k, 5)
%!error <options must come as name/value pairs> greedynmf (A, k, "maxiter", 5, "tol")
%!error <W0 and H0 must be given together> greedynmf (A, k, "W0", W0)
%!error <init and seed cannot be given with them> greedynmf (A, k, "W0", W0, "H0", H0, "seed", 1)
%!error <W0 must be a real 12-by-3 matrix> greedynmf (A, k, "W0", W0', "H0", H0)
%!error <H0 must be finite and non-negative> greedynmf (A, k, "W0", W0, "H0", -H0)
%!error <maxinner = Inf needs inner_tol > 0> greedynmf (A, k, "maxinner", Inf, "inner_tol", 0)
%!error <maxinner must be an integer of at least 1 or Inf> greedynmf (A, k, "maxinner", 0)
%!error <maxiter must be an integer of at least 0 or Inf> greedynmf (A, k, "maxiter", -1)
%!error <seed must be an integer of at least 0> greedynmf (A, k, "seed", Inf)
%!error <tol must be a finite, non-negative number> greedynmf (A, k, "tol", NaN)
%!error <init must be 'random', 'nndsvd' or 'nndsvda'> greedynmf (A, k, "init", "svd")
