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
%! % The 19th iteration from this start is undone: the factors returned
%! % are the ones kept before it.
%! [W, H, again] = greedynmf (A, k, "W0", W0, "H0", H0, "maxiter", 19, "tol", 0);
%! assert (again.objective(19:20), f([19, 19]));
%! assert (direct_objective (A, W, H), f(19), 1e-12 * f(1));

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
%!   seed = {};
%!   if (strcmp (init{1}, "random"))
%!     seed = {"seed", 1};
%!   end
%!   [W, H, info] = greedynmf (A(1:4, 1:5), 7, "init", init{1}, seed{:}, "maxiter", 2000, "tol", 0);
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
%! % tol judges the fall over the last 10 iterations (all, before 10):
%! % the run ends at the first iteration where it is small enough.
%! rand ("state", 8);
%! noisy = A + rand (size (A));
%! [~, ~, info] = greedynmf (noisy, k, "W0", W0, "H0", H0, "tol", 1e-3, "extrapolate", false);
%! f = info.objective;
%! met = arrayfun (@(t) f(1 + t - min (t, 10)) - f(1 + t) <= 1e-3 * f(1 + t - min (t, 10)), ...
%!                 1:info.iterations);
%! assert (info.iterations > 10);
%! assert ({info.stop, find(met, 1)}, {"tol", info.iterations});
%! [~, ~, info] = greedynmf (A, k, "W0", W0, "H0", H0, "tol", 0, "maxtime", 1e-9);
%! assert ({info.stop, info.iterations}, {"maxtime", 1});
%! text = evalc ("[~, ~, info] = greedynmf (A, k, 'W0', W0, 'H0', H0, 'tol', 0, 'maxiter', 4, 'verbose', true);");
%! assert (info.stop, "maxiter");
%! assert (! isempty (strfind (text, "stopped (maxiter) after 4 iterations")));
%! % Inf caps nothing: the same as the largest cap greedycd counts.
%! [W1] = greedynmf (A, k, "W0", W0, "H0", H0, "maxiter", 2, "maxinner", Inf, "inner_tol", 1e-3);
%! [W2] = greedynmf (A, k, "W0", W0, "H0", H0, "maxiter", 2, "maxinner", 2^31 - 1, "inner_tol", 1e-3);
%! assert (isequal (W1, W2));

%!test
%! % The same fit where the squares of A overflow or underflow, full and
%! % sparse, and the very same bits, scaled, for a power of four.
%! B = rand (6, 4);
%! [W, H, info] = greedynmf (B, 2, "seed", 1);
%! for s = [1e160, 1e200, 1e-160, 1e-200]
%!   for C = {B * s, sparse(B * s)}
%!     [Ws, Hs, infos] = greedynmf (C{1}, 2, "seed", 1);
%!     assert ({infos.stop, infos.iterations}, {info.stop, info.iterations});
%!     assert (infos.relerr, info.relerr, 1e-12);
%!     assert (Ws * Hs / s, W * H, 1e-10);
%!   end
%! end
%! [Ws, Hs] = greedynmf (B * 2^-1000, 2, "seed", 1);
%! assert (isequal (Ws, W * 2^-500) && isequal (Hs, H * 2^-500));

%!test
%! % Penalties: a long run ends where the penalised conditions hold, and
%! % the reported objective is the penalised f.
%! B = rand (9, 7);
%! options = struct ("l1_W", 0.05, "l2_W", 0.2, "l1_H", 0.1, "l2_H", 0.3, "seed", 2, ...
%!                   "maxiter", 3000, "tol", 0, "maxinner", Inf, "inner_tol", 1e-12);
%! [W, H, info] = greedynmf (B, 3, options);
%! check_kkt (H * H' + 0.2 * eye (3), H * B' - 0.05, W', 1e-7);
%! check_kkt (W' * W + 0.3 * eye (3), W' * B - 0.1, H, 1e-7);
%! f = direct_objective (B, W, H) + 0.05 * sum (W(:)) + 0.1 * sumsq (W(:)) ...
%!     + 0.1 * sum (H(:)) + 0.15 * sumsq (H(:));
%! assert (info.objective(end), f, 1e-12 * f);
%! assert (info.relerr, norm (B - W * H, "fro") / norm (B, "fro"), 1e-12);
%! % scikit-learn's form weighs W's terms by n and H's by m.
%! [W2, H2] = greedynmf (B, 3, "alpha_W", 0.1, "alpha_H", 0.2, "l1_ratio", 0.25, "seed", 2, "maxiter", 5);
%! [W3, H3] = greedynmf (B, 3, "l1_W", 0.1 * 0.25 * 7, "l2_W", 0.1 * 0.75 * 7, ...
%!                       "l1_H", 0.2 * 0.25 * 9, "l2_H", 0.2 * 0.75 * 9, "seed", 2, "maxiter", 5);
%! assert (isequal (W2, W3) && isequal (H2, H3));

%!test
%! % Strong L1 penalties give sparser factors, and a lower penalised f than
%! % the fit without them, from every kind of start.
%! B = rand (20, 15);
%! penalised_f = @(W, H) direct_objective (B, W, H) + 0.5 * (sum (W(:)) + sum (H(:)));
%! for start = {{"seed", 1}, {"seed", 2}, {"init", "nndsvd"}, {"init", "nndsvda"}}
%!   [Wp, Hp] = greedynmf (B, 4, start{1}{:});
%!   [Wl, Hl] = greedynmf (B, 4, start{1}{:}, "l1_W", 0.5, "l1_H", 0.5);
%!   assert (nnz (Wl) + nnz (Hl) < nnz (Wp) + nnz (Hp));
%!   assert (penalised_f (Wl, Hl) < penalised_f (Wp, Hp));
%! end

%!function ok = sklearn_runs ()
%!  % Debian's python3 with scikit-learn, or the first python3 on the path.
%!  python = "/usr/bin/python3";
%!  if (! exist (python, "file"))
%!    python = "python3";
%!  end
%!  [status, text] = system ([python " -c 'import sklearn' 2>&1"]);
%!  ok = status == 0;
%!  if (! ok)
%!    printf ("SKIPPED: the comparison with scikit-learn: %s cannot import it: %s\n", python, strtrim (text));
%!  end
%!endfunction

%!testif ; sklearn_runs ()
%! % scikit-learn's coordinate descent from the same start, with the same
%! % penalties in its own form, ends at the same point.
%! B = rand (8, 6) * 0.1 + rand (8, 2) * rand (2, 6);
%! Wstart = rand (8, 2);
%! Hstart = rand (2, 6);
%! folder = tempname ();
%! mkdir (folder);
%! unwind_protect
%!   save ("-ascii", "-double", fullfile (folder, "A.txt"), "B");
%!   save ("-ascii", "-double", fullfile (folder, "W0.txt"), "Wstart");
%!   save ("-ascii", "-double", fullfile (folder, "H0.txt"), "Hstart");
%!   python = "/usr/bin/python3";
%!   if (! exist (python, "file"))
%!     python = "python3";
%!   end
%!   [status, text] = system (sprintf ("%s %s %s 0.01 0.02 0.5 2>&1", python, ...
%!                                     file_in_loadpath ("sklearn_nmf.py"), folder));
%!   assert (status, 0, text);
%!   Ws = load (fullfile (folder, "W.txt"));
%!   Hs = load (fullfile (folder, "H.txt"));
%! unwind_protect_cleanup
%!   confirm_recursive_rmdir (false, "local");
%!   rmdir (folder, "s");
%! end_unwind_protect
%! [W, H] = greedynmf (B, 2, "W0", Wstart, "H0", Hstart, "alpha_W", 0.01, "alpha_H", 0.02, "l1_ratio", 0.5, ...
%!                     "tol", 1e-14, "maxiter", 1e5, "maxinner", Inf, "inner_tol", 1e-12);
%! % The same components, maybe in another order.
%! [~, ours] = sort (sum (W));
%! [~, theirs] = sort (sum (Ws));
%! assert (W(:, ours), Ws(:, theirs), 1e-5);
%! assert (H(ours, :), Hs(theirs, :), 1e-5);

%!test
%! % Replicates: each start's outcome, the best one returned, and each start
%! % made again by its seed, given or drawn.
%! B = rand (10, 8);
%! [W, H, info] = greedynmf (B, 3, "replicates", 3, "seed", 10, "maxiter", 30);
%! assert ([info.replicates.seed], 10:12);
%! objectives = [info.replicates.objective];
%! assert (numel (unique (objectives)), 3);
%! assert (info.best, find (objectives == min (objectives)));
%! assert (info.objective(end), objectives(info.best));
%! for j = 1:3
%!   [Wj, Hj, one] = greedynmf (B, 3, "seed", 9 + j, "maxiter", 30);
%!   assert (one.objective(end), objectives(j));
%! end
%! assert (isequal (Wj, W) == (info.best == 3));
%! [~, ~, drawn] = greedynmf (B, 3, "replicates", 2, "maxiter", 30);
%! [~, ~, again] = greedynmf (B, 3, "seed", drawn.replicates(2).seed, "maxiter", 30);
%! assert (again.objective(end), drawn.replicates(2).objective);

%!test
%! % After rand ("seed", ...) Octave's older generator stays in use, where it was.
%! rand ("seed", 42);
%! expected = rand (1, 3);
%! rand ("seed", 42);
%! greedynmf (A, k, "seed", 1, "maxiter", 1);
%! assert (rand (1, 3), expected);

%!test
%! % The seeded start is the toolkit's own, whatever state rand is in: its
%! % first entries are SplitMix64's first draws from the seed, times the
%! % scale that gives W*H A's mean; the start is the same for a sparse A.
%! [W, H] = greedynmf (A, k, "seed", 0, "maxiter", 0);
%! scale = sqrt (mean (A(:)) / (k / 4));
%! assert (W(1, 1:2), [0.8833108082136426, 0.43152799704850997] * scale, 4 * eps);
%! [Ws, Hs] = greedynmf (sparse (A), k, "seed", 0, "maxiter", 0);
%! assert (isequal (Ws, W) && isequal (Hs, H));
%! rand ("state", 3);
%! [W2, H2] = greedynmf (A, k, "seed", 0, "maxiter", 0);
%! assert (isequal (W2, W) && isequal (H2, H));

%!test
%! % threads: the same bits at every count; never more threads than the
%! % larger side of A; the default is what the host allows.
%! [W1, H1, info1] = greedynmf (A, k, "seed", 2, "maxiter", 12, "threads", 1);
%! [W3, H3, info3] = greedynmf (A, k, "seed", 2, "maxiter", 12, "threads", 3);
%! assert (isequal ({W1, H1, info1.objective}, {W3, H3, info3.objective}));
%! assert ([info1.threads, info3.threads], [1, 3]);
%! [~, ~, info] = greedynmf (A(1:3, 1:2), 1, "seed", 2, "maxiter", 2, "threads", 64);
%! assert (info.threads, 3);
%! [~, ~, info] = greedynmf (A, k, "seed", 2, "maxiter", 1);
%! assert (info.threads, min (nproc ("overridable"), 15));
%! [H, pinfo] = greedynmf_project (A, W1, "threads", 2);
%! assert (isequal (H, greedynmf_project (A, W1, "threads", 1)) && pinfo.threads == 2);

%!test
%! % Reaching maxiter with tol unmet warns, with an identifier; meeting tol,
%! % or asking for no tol, does not.
%! state = warning ();
%! unwind_protect
%!   warning ("on", "greedynmf:maxiter");
%!   lastwarn ("");
%!   evalc ("greedynmf (A, k, 'seed', 1, 'maxiter', 2);");
%!   [~, id] = lastwarn ();
%!   assert (id, "greedynmf:maxiter");
%!   lastwarn ("");
%!   evalc ("greedynmf (A, k, 'seed', 1, 'maxiter', 2, 'tol', 0);");
%!   evalc ("greedynmf (A, k, 'seed', 1, 'tol', 1);");
%!   assert (lastwarn (), "");
%! unwind_protect_cleanup
%!   warning (state);
%! end_unwind_protect

%!test
%! % normalize: rows of H of unit length, W's columns longest first, the
%! % same product.
%! [W, H] = greedynmf (A, k, "seed", 1, "maxiter", 20);
%! [Wn, Hn] = greedynmf (A, k, "seed", 1, "maxiter", 20, "normalize", true);
%! assert (sqrt (sumsq (Hn, 2)), ones (k, 1), 1e-14);
%! lengths = sqrt (sumsq (Wn, 1));
%! assert (all (diff (lengths) <= 0));
%! assert (Wn * Hn, W * H, 1e-12 * norm (W * H, "fro"));

%!error <A must be finite and non-negative> greedynmf (-A, k)
%!error <A must be finite and non-negative> greedynmf (sparse ([0 NaN; 1 0]), 1)
%!error <A\(2, 1\) is Inf> greedynmf ([1 -Inf; Inf 1], 1)
%!error <A\(2, 3\) is NaN> greedynmf ([1 1 1; 1 1 NaN], 1)
%!error <A\(3, 2\) is negative \(-0.5\)> greedynmf (sparse ([0 0 -1; 0 0 0; 0 -0.5 0]), 1)
%!error id=greedynmf:usage greedynmf ()
%!error <usage: \[W, H\] = greedynmf\(A, k\)> greedynmf (A)
%!error <seed draws a random start; init 'nndsvd' is not random> greedynmf (A, k, "init", "nndsvd", "seed", 1)
%!error <replicates need random starts> greedynmf (A, k, "W0", W0, "H0", H0, "replicates", 2)
%!error <not both> greedynmf (A, k, "l1_W", 1, "alpha_H", 1)
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
%!error <threads must be an integer of at least 1> greedynmf (A, k, "threads", 0)
%!error <W0 and H0 are both zero> greedynmf (A, k, "W0", zeros (12, k), "H0", zeros (k, 15))
%!error <no memory for rank k = 1000000000 with a 12-by-15 A .* choose a smaller k> greedynmf (A, 1e9)
%!error <threads must be an integer of at least 1> greedynmf_project (A, rand (12, 2), "threads", 1.5)
%!error id=nmfsolve:nargin nmfsolve (A, [], [])
%!error <settings: threads \(1 to 4096\) is out of range> nmfsolve (A, [], [], [1, 2, 1, 3, 0, Inf, 0, 2, 1e-5, 1, 0, 0, 0, 0, 0, 0, 0, 0])
%!error id=nmfsolve:badSettings nmfsolve (A, [], [], [1, 2, 1])
%!error id=nmfsolve:shape nmfsolve (A, rand (2, 12), rand (2, 14), [1, 2, NaN, 3, 0, Inf, 0, 2, 1e-5, 1, 0, 0, 0, 0, 1, 0, 0, 0])
