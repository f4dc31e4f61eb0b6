% FIXEDTIMES  Matrix products in one fixed order: the same bits on every machine.
%
%   P = fixedtimes(X, A)
%   P = fixedtimes(X, A, transposeA)
%
%   Returns X*A, or X*A' when transposeA is true, for a full X and a full or
%   sparse A. Each entry of P is one running sum, from +0, of the products
%   X(r,s)*A(s,c) (or X(r,s)*A(c,s)) for s = 1, 2, ... in increasing order,
%   each product and each sum rounded on its own. A sparse A adds only its
%   stored entries: down a column in the order A stores them, or along a row
%   (transposeA) column by column.
%
%   So P depends only on X and A: not on the CPU, the operating system, the
%   BLAS or its threads, as X*A does. An NMF loop built on fixedtimes gives
%   the same factors everywhere from the same start. With the factors kept
%   as W' (k-by-m) and H (k-by-n), it needs
%
%     WtA = fixedtimes(Wt, A);            % W'*A, for the update of H
%     HAt = fixedtimes(H, A, true);       % H*A', for the update of W
%     WWt = fixedtimes(Wt, Wt, true);     % W'*W
%     HHt = fixedtimes(H, H, true);       % H*H'
%
%   and a sum of products in a fixed order is a 1-by-N times N-by-1 product,
%   as in fixedtimes(x(:)', y(:)) for sum(x(:).*y(:)). For a sparse A,
%   passing At = A' (made once) for H*A' is faster than transposeA: each
%   column of the result then gathers its terms instead of scattering them.
%   Both give the same bits.
%
%   X           k-by-m real, full double matrix (k-by-n for X*A').
%   A           m-by-n real double matrix, full or sparse.
%   transposeA  true or false (default false), or 1 or 0.
%   P           k-by-n full double matrix X*A, or k-by-m X*A'.
%
%   X and A are never modified. Products with an empty side are zero
%   matrices of the product's shape. A stored zero of a sparse A takes part
%   like any other entry (0*Inf is NaN).
%
%   Refused with an error (identifier fixedtimes:REASON):
%     fixedtimes:nargin         a number of inputs other than 2 or 3
%     fixedtimes:nargout        more than 1 output
%     fixedtimes:notRealDouble  X is not a real, full double array, or A is
%                               not a real double matrix
%     fixedtimes:notRealNumeric transposeA is not a real, full number
%     fixedtimes:badFlag        transposeA is not one true or false
%     fixedtimes:tooLarge       an input with 2^31 or more rows or columns
%     fixedtimes:shape          X has not as many columns as A has rows (as
%                               A has columns, with transposeA)
%     fixedtimes:badSparse      A's stored structure is not one a host
%                               builds (a row index out of range)
%     fixedtimes:outOfMemory    no memory for the result or a 256 KB panel
%
%   Example:
%     X = [1 2; 3 4];  A = [0.1 0.2 0.3; 0.4 0.5 0.6];
%     P = fixedtimes(X, A)                 % X*A
%     Q = fixedtimes(X, A', true);         % X*(A')' = X*A, the same bits
%     isequal(P, Q)
%
%   See also SPARSETIMES, GREEDYNMF, GREEDYCD.
