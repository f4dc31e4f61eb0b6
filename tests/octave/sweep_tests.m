% Calls hardsweep and clipsweep as a user would.

%!shared M, C
%! M = [2 0; 1 2];  C = [-2 2; -1 1];

%!test
%! % Column 1: x1 = 1 and x2 = -(1 - 1)/2; column 2: x1 = -1 and x2 = -(-1 + 1)/2.
%! assert (hardsweep (M, C, 0.5, 2, 2), [1 -1; 0 0]);
%! assert (clipsweep (M, C, 0.5, 2, 2), [1 0; 0 0]);
%! % x1 = ±1 lowers the quadratic by exactly 1, not more than lambda = 1; then x2 = ±0.5 gains only 0.25.
%! assert (hardsweep (M, C, 1, 2, 2), zeros (2));

%!test
%! % clipsweep ignores lambda.
%! for lambda = [-3, 0, 1e300, NaN]
%!   assert (clipsweep (M, C, lambda, 2, 2), [1 0; 0 0]);
%! end

%!test
%! % Sizes truncate; M is read with leading dimension n whatever its shape.
%! big = magic (4) + 10 * eye (4);
%! X = hardsweep (big, ones (3, 2), 0, 3.7, 2.2);
%! assert (size (X), [3 2]);
%! assert (X, hardsweep (reshape (big(1:9), 3, 3), ones (3, 2), 0, 3, 2));
%! assert (size (clipsweep (M, C, 0, 2, 0)), [2 0]);
%! assert (size (clipsweep ([], [], 0, 0, 4)), [0 4]);
%! % An empty result reads neither M nor C, so they may be empty too.
%! assert (size (hardsweep ([], zeros (3, 0), 0, 3, 0)), [3 0]);
%! assert (size (clipsweep (zeros (0, 5), [], 0, 0, 5)), [0 5]);

%!test
%! % lambda, n and m may be of any real numeric or logical class.
%! assert (hardsweep (M, C, single (0.5), int32 (2), uint8 (2)), hardsweep (M, C, 0.5, 2, 2));
%! assert (hardsweep (M, C, true, 2, true), hardsweep (M, C, 1, 2, 1));
%! assert (clipsweep (M, C, int8 (-3), [2 7], 2), clipsweep (M, C, 0, 2, 2));

%!test
%! % The caller's variables stay as they were, also when they share storage.
%! A = [2 0; 1 2];  B = A;
%! X = hardsweep (A, B, 0, 2, 2);
%! assert (A, [2 0; 1 2]);
%! assert (B, [2 0; 1 2]);
%! assert (clipsweep (A, A, 0, 2, 2), clipsweep (A, B, 0, 2, 2));
%! assert (A, [2 0; 1 2]);

%!error id=hardsweep:nargin hardsweep (1, 1, 0, 1)
%!error id=clipsweep:nargin clipsweep (1, 1, 0, 1, 1, 1)
%!error id=hardsweep:nargout [a, b] = hardsweep (1, 1, 0, 1, 1)
%!error id=clipsweep:notRealDouble clipsweep (single (1), 1, 0, 1, 1)
%!error id=hardsweep:notRealDouble hardsweep (1, 1i, 0, 1, 1)
%!error id=clipsweep:notRealNumeric clipsweep (1, 1, 0, sparse (1), 1)
%!error id=hardsweep:notRealNumeric hardsweep (1, 1, 0, 1, "a")
%!error id=clipsweep:notRealNumeric clipsweep (1, 1, {0}, 1, 1)
%!error id=hardsweep:notRealNumeric hardsweep (1, 1, 0, struct ("n", 1), 1)
%!error id=clipsweep:notRealNumeric clipsweep (1, 1, @sin, 1, 1)
%!error id=hardsweep:notRealNumeric hardsweep (1, 1, 1i, 1, 1)
%!error id=hardsweep:tooSmall hardsweep ([], ones (3, 1), 0, 3, 1)
%!error id=hardsweep:badSize hardsweep (1, 1, 0, int8 (-1), 1)
%!error id=hardsweep:empty hardsweep (1, 1, [], 1, 1)
%!error id=clipsweep:empty clipsweep (1, 1, 0, zeros (0, 1), 1)
%!error id=hardsweep:badSize hardsweep (1, 1, 0, -1, 1)
%!error id=clipsweep:badSize clipsweep (1, 1, 0, 1, NaN)
%!error id=hardsweep:badSize hardsweep (1, 1, 0, Inf, 1)
%!error id=clipsweep:badSize clipsweep (1, 1, 0, 2^31, 1)
%!error id=hardsweep:tooSmall hardsweep (eye (2), ones (3, 2), 0, 3, 2)
%!error id=clipsweep:tooSmall clipsweep (eye (3), ones (3, 1), 0, 3, 2)

%!test
%! for name = {"hardsweep", "clipsweep"}
%!   text = evalc (["help " name{1}]);
%!   assert (! isempty (strfind (text, ["X = " name{1} "(M, C, lambda, n, m)"])));
%!   assert (! isempty (strfind (text, [name{1} ":tooSmall"])));
%!   assert (! isempty (strfind (text, "-0.5 truncates to")));
%! end

%!test
%! % The help examples run as printed and give what the sweep's rule says.
%! assert (! isempty (strfind (help ("hardsweep"), "A NaN (q*M(j,j))*q keeps q")));
%! evalc (help_example ("hardsweep"));
%! assert (X, [1 -1; 0 0]);
%! evalc (help_example ("clipsweep"));
%! assert (X, [1 0; 0 0]);
