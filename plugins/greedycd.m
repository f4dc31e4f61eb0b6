% GREEDYCD  Greedy coordinate-descent update of a non-negative factor W.
%
%   Wnew = greedycd(GW, HHt, W, tol, maxinner)
%   [Wnew, GWnew] = greedycd(GW, HHt, W, tol, maxinner)
%
%   Updates the k-by-n non-negative factor W with the other factor H held
%   fixed. Each column of W is an independent non-negative quadratic problem
%   with Hessian HHt; the update makes greedy one-coordinate moves in it.
%
%   GW        k-by-n gradient of the objective with respect to W.
%   HHt       k-by-k matrix H*H'.
%             Both triangles are read (the diagonal, and column i as row i
%             of the Hessian), so HHt is expected symmetric; nothing checks it.
%   W         k-by-n current factor.
%   tol       relative tolerance: a column stops after a move that lowers
%             the objective by less than tol times the largest reduction
%             any entry of W offered at the start. That move is still made.
%             Only its first element is used.
%   maxinner  most moves per column, truncated toward zero (2.9 counts as 2);
%             0, a negative value, NaN, Inf or a value beyond the 32-bit
%             range makes no move. Only its first element is used.
%   Wnew      the updated k-by-n factor.
%   GWnew     the gradient after the moves (optional).
%
%   GW, HHt and W are never modified.
%
%   Refused with an error (identifier greedycd:REASON):
%     greedycd:nargin         a number of inputs other than 5
%     greedycd:nargout        more than 2 outputs
%     greedycd:notRealDouble  an input that is not a real, full double array
%     greedycd:empty          an empty tol or maxinner
%     greedycd:tooLarge       an input with 2^31 or more rows or columns
%     greedycd:shape          HHt not k-by-k or W not k-by-n, where GW is
%                             k-by-n; a usage text is printed first
%
%   Example: one update of W in V ~ W*H with H held fixed; greedycd
%   works on the transposed factor, one column per row of V.
%     H = [1 0 2; 0 1 1];  V = [3 1 2; 1 2 0];  W = ones(2);
%     HHt = H*H';  GW = W*HHt - V*H';
%     Wnew = greedycd(GW', HHt, W', 1e-3, 10)';
%     [norm(V - W*H, 'fro'), norm(V - Wnew*H, 'fro')]
%
%   See also HARDSWEEP, CLIPSWEEP.

%!test
%! % The three moves of a two-entry column, on values kept exact, and the
%! % cap on moves.
%! [W, GW] = greedycd ([-2; -2], [2, 0.5; 0.5, 1], [0; 0], 0.1, 10);
%! assert ({W, GW}, {[0.5; 1.75], [-0.125; 0]});
%! assert (greedycd ([-2; -2], [2, 0.5; 0.5, 1], [0; 0], 0.1, 2), [0.5; 2]);
%! assert (greedycd ([-2; -2], [2, 0.5; 0.5, 1], [0; 0], 0.1, 1), [0; 2]);
%!test
%! % With HHt = I the coordinates do not couple: enough moves reach
%! % max(0, W - GW), column by column.
%! GW = [2 -1; 0.5 5];
%! W = [1 2; 3 4];
%! assert (greedycd (GW, eye (2), W, 0, 10), max (0, W - GW));
%!error id=greedycd:nargin greedycd (1, 1, 1, 0)
