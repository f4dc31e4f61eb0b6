% greedynmf, greedynmf_project and greedynmf_rank on incomplete data: the
% objective over the observed entries, what the unobserved ones may hold,
% the lines with nothing observed, the rank chosen, and what they refuse.

%!shared A, M, k
%! rand ("state", 21);
%! k = 3;
%! A = rand (40, k) * rand (k, 30) + 0.01 * rand (40, 30);
%! M = rand (40, 30) > 0.3;
%! M(:, 4) = rand (40, 1) > 0.8;   % a column that lists its observed entries

%!function f = masked_objective (A, weights, W, H, penalty)
%!  R = (A - W * H) .* (weights > 0);
%!  R(weights == 0) = 0;
%!  f = 0.5 * sum (sum (weights .* R .^ 2)) + penalty(1) * sum (W(:)) + 0.5 * penalty(2) * sum (H(:) .^ 2);
%!endfunction

%!test
%! % The trace is f over the observed entries, weighted, and never rises
%! % without extrapolation; relerr is over them too. NaN where A is not
%! % observed changes no bit.
%! weights = M .* (1 + (rand (size (A)) > 0.7));
%! options = {"weights", weights, "seed", 4, "tol", 0, "maxiter", 60, "extrapolate", false, ...
%!            "l1_W", 0.01, "l2_H", 0.02};
%! [W, H, info] = greedynmf (A, k, options{:});
%! assert (info.objective(end), masked_objective (A, weights, W, H, [0.01 0.02]), 1e-10 * info.objective(end));
%! assert (all (diff (info.objective) <= 1e-12 * info.objective(1)));
%! R = (A - W * H) .* M;
%! assert (info.relerr, sqrt (sum (sum (weights .* R .^ 2)) / sum (sum (weights .* A .^ 2))), 1e-10);
%! B = A;
%! B(~M) = NaN;
%! [W2, H2, info2] = greedynmf (B, k, options{:});
%! assert (isequal (W2, W) && isequal (H2, H) && isequal (info2.objective, info.objective));

%!test
%! % 'mask', 'zeros' on a sparse A is its stored entries as a logical mask,
%! % and a full A gives its sparse form's bits; a row and a column with
%! % nothing observed come out zero, not NaN.
%! warning ("off", "greedynmf:maxiter", "local");
%! S = sparse (A .* M);
%! S(6, :) = 0;
%! S(:, 9) = 0;
%! [W, H, info] = greedynmf (S, k, "mask", "zeros", "seed", 2, "maxiter", 40);
%! [W2, H2, info2] = greedynmf (S, k, "mask", full (S ~= 0), "seed", 2, "maxiter", 40);
%! assert (isequal (W2, W) && isequal (H2, H) && isequal (info2.objective, info.objective));
%! % A full A under a sparse mask, with observed zeros, as its sparse form.
%! [W3, H3, info3] = greedynmf (full (S), k, "mask", sparse (M), "seed", 2, "maxiter", 40);
%! [W4, H4, info4] = greedynmf (S, k, "mask", M, "seed", 2, "maxiter", 40);
%! assert (isequal (W4, W3) && isequal (H4, H3) && isequal (info4.objective, info3.objective));
%! assert (all (isfinite ([W(:); H(:)])));
%! assert (W(6, :), zeros (1, k));
%! assert (H(:, 9), zeros (k, 1));

%!test
%! % Missing entries at random are filled in to about the noise.
%! [W, H] = greedynmf (A, k, "mask", M, "seed", 1, "tol", 1e-8, "maxiter", 2000);
%! held = ~M;
%! held(:, 4) = false;
%! assert (norm ((A - W * H)(held)) / norm (A(held)) < 0.02);

%!test
%! % The masked projection is each column's non-negative least squares
%! % over its observed rows.
%! W = rand (40, k);
%! [H, info] = greedynmf_project (A, W, "mask", M);
%! assert (strcmp (info.stop, "tol"));
%! for j = [1 4 17]
%!   rows = M(:, j);
%!   reference = lsqnonneg (W(rows, :), A(rows, j));
%!   assert (H(:, j), reference, 1e-5 * norm (reference));
%! end
%! assert (info.objective(end), masked_objective (A, M, W, H, [0 0]), 1e-10 * info.objective(end));

%!test
%! % The rank chosen by held-out error: the planted one, and the same
%! % errors from the same seed. Held-out entries take no part in the fits.
%! warning ("off", "greedynmf:maxiter", "local");
%! [chosen, info] = greedynmf_rank (A, 1:6, "seed", 3, "holdout", 0.1, "replicates", 2);
%! assert (chosen, k);
%! assert (size (info.error), [6 2]);
%! assert (numel (info.heldout), round (0.1 * numel (A)));
%! B = A;
%! B(info.heldout) = 100;
%! [~, again] = greedynmf_rank (B, 1:6, "seed", 3, "holdout", 0.1, "replicates", 2);
%! assert (isequal (again.objective, info.objective) && isequal (again.heldout, info.heldout));
%! assert (all (again.error(:) > info.error(:)));
%! [~, same] = greedynmf_rank (A, 1:6, "seed", 3, "holdout", 0.1, "replicates", 2);
%! assert (isequal (same.error, info.error));

%!error <A\(1, 2\) is NaN \(to leave entries out of the fit, give 'mask'> greedynmf ([1 NaN; 2 3], 1)
%!error <mask is 2-by-3; it must be A's size, 40-by-30> greedynmf (A, k, "mask", true (2, 3))
%!error <mask must be logical> greedynmf (A, k, "mask", double (M))
%!error <'mask', 'zeros' treats the zeros of a sparse A> greedynmf (A, k, "mask", "zeros")
%!error <observe no entry> greedynmf (A, k, "mask", false (size (A)))
%!error <weights must be finite and non-negative> greedynmf (A, k, "weights", -double (M))
%!error <apply to the least-squares loss> greedynmf (A, k, "mask", M, "loss", "kl")
%!error <mask is 2-by-2; it must be A's size> greedynmf_project (A, rand (40, k), "mask", true (2))
%!error <holdout must be above 0 and at most 0.5> greedynmf_rank (A, 1:4, "holdout", 0.6)
%!error <holdout must be above 0 and at most 0.5> greedynmf_rank (A, 1:4, "holdout", 0)
%!error <ks must be positive integers> greedynmf_rank (A, [0 1 2])
%!error <W0 is a start of one rank> greedynmf_rank (A, 1:4, "W0", 1)
