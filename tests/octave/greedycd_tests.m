% Calls greedycd as a user would.

%!test
%! % One coordinate per column: the move is max(0, w - g/h), and the gradient follows it.
%! [Wnew, GWnew] = greedycd ([4 -2 1], 2, [1 2 3], 0, 1);
%! assert (Wnew, [0 3 2.5]);
%! assert (GWnew, [2 0 0]);

%!test
%! % With HH^T = I the coordinates do not couple: enough moves reach max(0, W - GW).
%! GW = [2 -1; 0.5 5];  W = [1 2; 3 4];
%! [Wnew, GWnew] = greedycd (GW, eye (2), W, 0, 10);
%! assert (Wnew, max (0, W - GW));
%! assert (GWnew, GW + (Wnew - W));

%!test
%! % maxinner truncates; unconvertible values and non-positive ones make no move.
%! GW = [2 -1; 0.5 5];  W = [1 2; 3 4];
%! assert (greedycd (GW, eye (2), W, 0, 1.9), greedycd (GW, eye (2), W, 0, 1));
%! assert (! isequal (greedycd (GW, eye (2), W, 0, 1), W));
%! for maxinner = [0, -2, NaN, Inf, -Inf, 3e9]
%!   [Wnew, GWnew] = greedycd (GW, eye (2), W, 0, maxinner);
%!   assert (Wnew, W);
%!   assert (GWnew, GW);
%! end

%!test
%! % The caller's variables stay as they were, also when they share storage.
%! A = [1 2; 3 4];  B = A;  H = [2 1; 1 2];
%! Wnew = greedycd (A, H, B, 0, 10);
%! assert (A, [1 2; 3 4]);
%! assert (B, [1 2; 3 4]);
%! assert (H, [2 1; 1 2]);
%! assert (greedycd (A, H, A, 0, 10), Wnew);
%! assert (A, [1 2; 3 4]);

%!test
%! % Empty factors give an empty result of the same shape.
%! assert (size (greedycd (zeros (0, 3), [], zeros (0, 3), 0, 5)), [0 3]);
%! assert (size (greedycd (zeros (2, 0), eye (2), zeros (2, 0), 0, 5)), [2 0]);

%!test
%! % A shape mismatch prints the usage blocks exactly, then raises an error.
%! usage = "Error calling greedycd.\nUsage: Wnew = greedycd(GW, HH^T, W, tol, maxinner)\n";
%! blockA = sprintf ([usage "Error: 3 2 HH^T should be a 2 by 2 matrix\n"]);
%! blockB = sprintf ([usage "Error: W should be a 2 by 3 matrix"]);
%! G = ones (2, 3);
%! calls = {"greedycd (G, ones (3, 2), ones (2, 3), 0, 1)", blockA;
%!          "greedycd (G, eye (2), ones (3, 2), 0, 1)", blockB;
%!          "greedycd (G, ones (3, 2), ones (3, 2), 0, 1)", [blockA blockB]};
%! for i = 1:rows (calls)
%!   id = "";
%!   printed = evalc (["try, " calls{i, 1} "; catch err, id = err.identifier; end"]);
%!   assert (printed, calls{i, 2});
%!   assert (id, "greedycd:shape");
%! end

%!error <takes 5 inputs> greedycd (1, 1, 1, 1)
%!error id=greedycd:nargin greedycd (1, 1, 1, 1, 1, 1)
%!error id=greedycd:nargout [a, b, c] = greedycd (1, 1, 1, 0, 1)
%!error id=greedycd:notRealDouble greedycd (1i, 1, 1, 0, 1)
%!error id=greedycd:notRealDouble greedycd (1, sparse (1), 1, 0, 1)
%!error id=greedycd:notRealDouble greedycd (1, 1, single (1), 0, 1)
%!error id=greedycd:notRealDouble greedycd (1, 1, 1, int32 (0), 1)
%!error id=greedycd:notRealDouble greedycd (1, 1, 1, 0, true)
%!error id=greedycd:empty greedycd (1, 1, 1, [], 1)
%!error id=greedycd:empty greedycd (1, 1, 1, 0, zeros (1, 0))

%!test
%! text = evalc ("help greedycd");
%! assert (! isempty (strfind (text, "GREEDYCD  Greedy coordinate-descent update")));
%! assert (! isempty (strfind (text, "Wnew = greedycd(GW, HHt, W, tol, maxinner)")));
%! assert (! isempty (strfind (text, "greedycd:shape")));
%! assert (! isempty (strfind (text, "That move is still made")));

%!test
%! % The help's example runs as printed, and the update lowers the residual.
%! evalc (help_example ("greedycd"));
%! assert (norm (V - Wnew*H, "fro") < norm (V - W*H, "fro"));
