% greedynmf with fixed products gives W, H and the objective trace whose
% hashes tests/golden/nmf_golden_test.cpp checks on every kernel path,
% under Wine and on AArch64. CTest runs this suite at 1 and at 2 BLAS
% threads.

%!function h = fnv1a32 (varargin)
%!  % FNV-1a (32 bits) over the bytes of the doubles, little-endian; the
%!  % product with the prime is split so that each part is exact.
%!  h = 2166136261;
%!  for a = 1:numel (varargin)
%!    for b = double (typecast (varargin{a}(:), "uint8"))'
%!      h = bitxor (h, b);
%!      h = mod (mod (h, 256) * 16777216 + h * 403, 4294967296);
%!    end
%!  end
%!endfunction

%!function [A, W0, H0] = golden_problem (m, n, k, sparse_A)
%!  [j, i] = meshgrid (1:n, 1:m);
%!  A = mod (i * 7 + j * 13, 17) / 4;
%!  if sparse_A
%!    A(mod (i * 3 + j * 5, 7) >= 2) = 0;
%!    A = sparse (A);
%!  end
%!  [r, i] = meshgrid (1:k, 1:m);
%!  W0 = (1 + mod (i * 5 + r * 3, 11)) / 8;
%!  [j, r] = meshgrid (1:n, 1:k);
%!  H0 = (1 + mod (r * 7 + j * 2, 13)) / 16;
%!endfunction

%!function h = golden_hash (m, n, k, sparse_A, extrapolate, iterations, penalties, threads)
%!  [A, W0, H0] = golden_problem (m, n, k, sparse_A);
%!  [W, H, info] = greedynmf (A, k, 'W0', W0, 'H0', H0, 'maxiter', iterations, 'tol', 0, ...
%!                            'extrapolate', extrapolate, 'l1_W', penalties(1), ...
%!                            'l2_W', penalties(2), 'l1_H', penalties(3), ...
%!                            'l2_H', penalties(4), 'threads', threads);
%!  assert (info.threads, threads);
%!  h = fnv1a32 (W', H, info.objective);
%!endfunction

%!function h = golden_projection_hash (m, n, k, sparse_A, penalties, threads)
%!  [A, W0] = golden_problem (m, n, k, sparse_A);
%!  [H, info] = greedynmf_project (A, W0, 'l1_H', penalties(1), 'l2_H', penalties(2), ...
%!                                 'threads', threads);
%!  h = fnv1a32 (H, info.objective);
%!endfunction

%!function h = golden_kl_hash (m, n, k, sparse_A, penalties, threads)
%!  [A, W0, H0] = golden_problem (m, n, k, sparse_A);
%!  [W, H, info] = greedynmf (A, k, 'loss', 'kl', 'W0', W0, 'H0', H0, 'maxiter', 8, 'tol', 0, ...
%!                            'l1_W', penalties(1), 'l2_W', penalties(2), ...
%!                            'l1_H', penalties(3), 'l2_H', penalties(4), 'threads', threads);
%!  h = fnv1a32 (W', H, info.objective);
%!endfunction

%!function h = golden_kl_projection_hash (m, n, k, sparse_A, penalties, threads)
%!  [A, W0, H0] = golden_problem (m, n, k, sparse_A);
%!  [H, info] = greedynmf_project (A, W0, 'loss', 'kl', 'H0', H0, 'l1_H', penalties(1), ...
%!                                 'l2_H', penalties(2), 'threads', threads);
%!  h = fnv1a32 (H, info.objective);
%!endfunction

%!function [A, weights] = golden_masked_problem (m, n, k, sparse_A)
%!  % The masks of nmf_golden_runs.h: the dense A's unobserved entries hold NaN.
%!  A = golden_problem (m, n, k, sparse_A);
%!  [j, i] = meshgrid (1:n, 1:m);
%!  if sparse_A
%!    weights = spones (A) .* (1 + 0.5 * (mod (i + j, 4) == 0));
%!  else
%!    weights = mod (i * 5 + j * 3, 11) ~= 0 & (mod (j, 9) ~= 0 | mod (i, 3) == 0) & i ~= 7;
%!    A(~weights) = NaN;
%!  end
%!endfunction

%!test
%! % Masked: a dense A's logical mask, and a sparse A's weights at its
%! % stored entries in a factorisation and a projection.
%! warning ("off", "greedynmf:maxiter", "local");
%! for threads = [1, 2, 3, 7]
%!   [A, M] = golden_masked_problem (70, 45, 6, false);
%!   [~, W0, H0] = golden_problem (70, 45, 6, false);
%!   [W, H, info] = greedynmf (A, 6, 'mask', M, 'W0', W0, 'H0', H0, 'maxiter', 24, 'tol', 0, ...
%!                             'l1_W', 0.5, 'l2_W', 0.25, 'l1_H', 0.125, 'l2_H', 1, 'threads', threads);
%!   assert (fnv1a32 (W', H, info.objective), hex2dec ("6cfccad7"));
%!   [S, weights] = golden_masked_problem (80, 50, 5, true);
%!   [~, W0, H0] = golden_problem (80, 50, 5, true);
%!   [W, H, info] = greedynmf (S, 5, 'weights', weights, 'W0', W0, 'H0', H0, 'maxiter', 24, ...
%!                             'tol', 0, 'threads', threads);
%!   assert (fnv1a32 (W', H, info.objective), hex2dec ("4818ca59"));
%!   [H, info] = greedynmf_project (S, W0, 'weights', weights, 'l1_H', 0.5, 'l2_H', 0.125, ...
%!                                  'threads', threads);
%!   assert (fnv1a32 (H, info.objective), hex2dec ("9da5c201"));
%! end

%!test
%! % Extrapolated runs go to 24 iterations, so that each has one undone.
%! warning ("off", "greedynmf:maxiter", "local");
%! for threads = [1, 2, 3, 7]
%!   assert (golden_hash (70, 45, 6, false, false, 8, [0 0 0 0], threads), hex2dec ("98d71244"));
%!   assert (golden_hash (80, 50, 5, true, false, 8, [0 0 0 0], threads), hex2dec ("90b45613"));
%!   assert (golden_hash (70, 45, 6, false, true, 24, [0 0 0 0], threads), hex2dec ("757b65d8"));
%!   assert (golden_hash (80, 50, 5, true, true, 24, [0 0 0 0], threads), hex2dec ("f92415ef"));
%!   assert (golden_hash (70, 45, 6, false, true, 24, [0.5 0.25 0.125 1], threads), hex2dec ("b6d709bd"));
%!   assert (golden_hash (80, 50, 5, true, true, 24, [0.25 1 0.5 0.125], threads), hex2dec ("0d158fa0"));
%!   assert (golden_projection_hash (70, 45, 6, false, [0 0], threads), hex2dec ("451aca15"));
%!   assert (golden_projection_hash (80, 50, 5, true, [0.5 0.125], threads), hex2dec ("77875f88"));
%!   assert (golden_kl_hash (70, 45, 6, false, [0 0 0 0], threads), hex2dec ("8d01cc77"));
%!   assert (golden_kl_hash (80, 50, 5, true, [0.25 1 0.5 0.125], threads), hex2dec ("340860fd"));
%!   assert (golden_kl_projection_hash (80, 50, 5, true, [0.5 0.125], threads), hex2dec ("74389db6"));
%! end
