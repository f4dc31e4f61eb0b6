% greedynmf and greedynmf_project under 'loss', 'kl': the divergence they
% report, the bits they promise, the rows and columns with nothing to fit,
% and what they refuse.

%!shared A, k
%! rand ("state", 11);
%! k = 4;
%! A = round (6 * rand (30, k) * rand (k, 25) .* (rand (30, 25) < 0.6));

%!function d = divergence (A, W, H)
%!  [i, j, a] = find (A);
%!  model = sum (W(i, :) .* H(:, j)', 2);
%!  d = sum (a .* log (a ./ model) - a) + sum (W, 1) * sum (H, 2);
%!endfunction

%!test
%! % The trace is the divergence, never rising; a sparse A and more threads
%! % give the same bits.
%! [W, H, info] = greedynmf (A, k, "loss", "kl", "seed", 3, "tol", 0, "maxiter", 40);
%! assert (info.objective(end), divergence (A, W, H), 1e-10 * info.objective(end));
%! assert (all (diff (info.objective) <= 1e-12 * info.objective(1)));
%! assert (info.objective(end) < 0.6 * info.objective(1));
%! assert (info.relerr, norm (A - W * H, "fro") / norm (A, "fro"), 1e-10);
%! [W2, H2, info2] = greedynmf (sparse (A), k, "loss", "KL", "seed", 3, "tol", 0, ...
%!                              "maxiter", 40, "threads", 3);
%! assert (isequal (W2, W) && isequal (H2, H) && isequal (info2.objective, info.objective));

%!test
%! % A zero row and a zero column of A leave their factor's row and column
%! % zero, not NaN.
%! warning ("off", "greedynmf:maxiter", "local");
%! B = A;
%! B(5, :) = 0;
%! B(:, 7) = 0;
%! [W, H] = greedynmf (B, k, "loss", "kl", "seed", 1, "maxiter", 30);
%! assert (all (isfinite ([W(:); H(:)])));
%! assert (W(5, :), zeros (1, k));
%! assert (H(:, 7), zeros (k, 1));

%!test
%! % 4^p*A gives factors 2^p times as large, penalties and all.
%! warning ("off", "greedynmf:maxiter", "local");
%! options = {"loss", "kl", "seed", 2, "maxiter", 10, "l1_W", 0.5, "l2_H", 0.25};
%! [W, H, info] = greedynmf (A, k, options{:});
%! [Wb, Hb, infob] = greedynmf (A * 4^160, k, options{:}, "l1_W", 0.5 * 2^160, "l2_H", 0.25);
%! assert (isequal (Wb, W * 2^160) && isequal (Hb, H * 2^160));
%! assert (infob.objective, info.objective * 4^160, 1e-12 * infob.objective);

%!test
%! % The projection onto a fitted W lowers the divergence of fresh codes
%! % until a pass gains nothing worth taking; from its own result it stops.
%! [W, H, info] = greedynmf (A, k, "loss", "kl", "seed", 5);
%! [P, pinfo] = greedynmf_project (A, W, "loss", "kl", "maxiter", 1000);
%! assert (strcmp (pinfo.stop, "tol"));
%! assert (pinfo.objective(end), divergence (A, W, P), 1e-10 * pinfo.objective(end));
%! assert (pinfo.objective(end) <= info.objective(end) * (1 + 1e-6));
%! [~, again] = greedynmf_project (A, W, "loss", "kl", "H0", P);
%! assert (again.iterations, 1);

%!error <loss must be 'ls' .* or 'kl'> greedynmf (A, k, "loss", "poisson")
%!error <loss must be 'ls'> greedynmf_project (A, rand (30, k), "loss", 2)
%!error <inner_tol applies to the least-squares loss only> greedynmf (A, k, "loss", "kl", "inner_tol", 1e-3)
%!error <extrapolate applies to the least-squares loss only> greedynmf (A, k, "loss", "kl", "extrapolate", true)
%!error <maxinner counts passes> greedynmf (A, k, "loss", "kl", "maxinner", Inf)
%!error id=greedynmf:zeroModel greedynmf (A, k, "loss", "kl", "W0", [zeros(30, 1), rand(30, k - 1)], "H0", [rand(1, 25); zeros(k - 1, 25)])
%!error id=greedynmf_project:zeroModel greedynmf_project (A, [zeros(29, k); ones(1, k)], "loss", "kl")
