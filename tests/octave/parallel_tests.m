% greedycd and the sweeps over blocks of columns on worker processes,
% through Octave's parallel package: the same bits as one call.

%!function ok = parallel_loads ()
%!  try
%!    pkg load parallel
%!    ok = true;
%!  catch failure
%!    ok = false;
%!    printf ("SKIPPED: the parallel package does not load: %s\n", failure.message);
%!  end_try_catch
%!endfunction

%!testif ; parallel_loads ()
%! % A tol that ends columns early: each stops against the largest
%! % reduction over all of W, which a block alone would not see.
%! rand ("state", 1);
%! k = 6;
%! H = rand (k, 40);
%! V = rand (301, 40);
%! V(1:150, :) = V(1:150, :) * 10;
%! W = rand (301, k)';
%! HHt = H * H';
%! GW = HHt * W - H * V';
%! expected = greedycd (GW, HHt, W, 0.01, 50);
%! alone = [greedycd(GW(:, 1:151), HHt, W(:, 1:151), 0.01, 50), ...
%!          greedycd(GW(:, 152:end), HHt, W(:, 152:end), 0.01, 50)];
%! assert (! isequal (alone, expected), "the blocks alone stop as the whole call does");
%! assert (isequal (greedycd_parallel (2, GW, HHt, W, 0.01, 50), expected));
%! assert (isequal (greedycd_parallel (3, GW(:, end:-1:1), HHt, W(:, end:-1:1), 0.01, 50),
%!                  greedycd (GW(:, end:-1:1), HHt, W(:, end:-1:1), 0.01, 50)));

%!testif ; parallel_loads ()
%! rand ("state", 2);
%! D = randn (30, 12);
%! M = D' * D;
%! C = -D' * randn (30, 101);
%! assert (isequal (sweep_parallel (2, @hardsweep, M, C, 0.5, 12, 101), hardsweep (M, C, 0.5, 12, 101)));
%! assert (isequal (sweep_parallel (2, @clipsweep, M, C, 0, 12, 101), clipsweep (M, C, 0, 12, 101)));

%!testif ; parallel_loads ()
%! % greedynmf in parcellfun's workers runs one thread each by default, so
%! % that the workers do not share the cores out again; its bits are those
%! % of the session's own run at any thread count.
%! A = rand (40, 30);
%! fit = @(seed) greedynmf_info (A, 3, "seed", seed, "maxiter", 5, "tol", 0);
%! infos = parcellfun (2, fit, {1, 2}, "UniformOutput", false, "VerboseLevel", 0);
%! assert (cellfun (@(info) info.threads, infos), [1, 1]);
%! [~, ~, here] = greedynmf (A, 3, "seed", 2, "maxiter", 5, "tol", 0, "threads", 2);
%! assert (here.threads, 2);
%! assert (isequal (infos{2}.objective, here.objective));

%!testif ; parallel_loads ()
%! % The help examples, as a user pastes them.
%! for name = {"greedycd_parallel", "sweep_parallel"}
%!   assert (strtrim (evalc (help_example (name{1}))), "ans = 1");
%! end

%!testif ; parallel_loads ()
%! % The example, small.
%! evalc ("timings = parallel_demo (2, 8, 300, 20);");
%! assert ({timings.name}, {"greedycd", "hardsweep"});
%! assert ([timings.same_bits], [true, true]);

%!error <workers must be a positive integer> greedycd_parallel (0, 1, 1, 1, 0, 1)
%!error <takes 6 inputs, got 5: greedycd_parallel\(workers, GW, HHt, W, tol, maxinner\)> greedycd_parallel (2, 1, 1, 1, 0)
%!error id=sweep_parallel:nargin sweep_parallel (2, @hardsweep, 1, 1, 0.5, 1)
%!error <sweep must be @hardsweep or @clipsweep> sweep_parallel (2, @sin, 1, 1, 0, 1, 1)
