% The projection of new data onto a fixed factor: optimal, a fixed point,
% the same at any scale, and what it refuses.

%!shared W, A
%! rand ("state", 3);
%! W = rand (30, 5) .* (rand (30, 5) < 0.7);
%! A = (W * rand (5, 40) + 0.1 * rand (30, 40)) .* (rand (30, 40) < 0.8);

%!test
%! % Full and sparse A, with and without penalties: the conditions of
%! % optimality hold at H, and a second projection from H changes nothing.
%! for penalty = {[0, 0], [0.3, 0.5]}
%!   l1 = penalty{1}(1);
%!   l2 = penalty{1}(2);
%!   for B = {A, sparse(A)}
%!     [H, info] = greedynmf_project (B{1}, W, "l1_H", l1, "l2_H", l2);
%!     gradient = (W' * W + l2 * eye (5)) * H - W' * B{1} + l1;
%!     scale = max (max (abs (W' * B{1})));
%!     assert (all (H(:) >= 0) && all (gradient(:) >= -1e-8 * scale));
%!     assert (all (abs (gradient(H > 0)) <= 1e-8 * scale));
%!     f = 0.5 * norm (B{1} - W * H, "fro")^2 + l1 * sum (H(:)) + 0.5 * l2 * sumsq (H(:));
%!     assert (info.objective(end), f, 1e-12 * f);
%!     assert (isequal (greedynmf_project (B{1}, W, "l1_H", l1, "l2_H", l2, "H0", H), H));
%!   end
%! end
%! % scikit-learn's form weighs H's terms by the rows of A.
%! assert (isequal (greedynmf_project (A, W, "alpha_H", 0.01, "l1_ratio", 0.25),
%!                  greedynmf_project (A, W, "l1_H", 0.01 * 0.25 * 30, "l2_H", 0.01 * 0.75 * 30)));

%!test
%! % The same H where the squares of A or W overflow or underflow.
%! H = greedynmf_project (A, W);
%! assert (greedynmf_project (A * 1e200, W * 1e180) * 1e-20, H, 1e-10 * max (H(:)));
%! assert (greedynmf_project (sparse (A) * 1e-200, W * 1e-180) * 1e20, H, 1e-10 * max (H(:)));

%!error id=greedynmf_project:usage greedynmf_project (A)
%!error <W must have as many rows as A \(30\), not 29> greedynmf_project (A, W(1:29, :))
%!error <W\(2, 1\) is NaN> greedynmf_project (A, [1; NaN; zeros(28, 1)])
%!error <H0 must be a real 5-by-40 matrix> greedynmf_project (A, W, "H0", zeros (5, 39))
%!error <unknown option 'l1_W'> greedynmf_project (A, W, "l1_W", 1)
