% SPARSETIMES  The product of a full matrix and a sparse one.
%
%   P = sparsetimes(X, A)
%
%   Returns the full k-by-n matrix X*A, where X is a full k-by-m matrix and
%   A a sparse m-by-n matrix. It is the product an NMF iteration with a
%   sparse data matrix A needs twice, with the factors kept as W' (k-by-m)
%   and H (k-by-n):
%
%     At = A';                     % once, before the iterations
%     WtA = sparsetimes(Wt, A);    % W'*A, for the update of H
%     HAt = sparsetimes(H, At);    % H*A', for the update of W
%
%   Passing A' for H*A' keeps the one fast layout: each column of the
%   result gathers the columns of X that its column of A names, and its sums
%   stay in registers.
%
%   Every entry is one running sum, from +0, over the stored entries of
%   its column of A in the order A stores them (increasing row). The result
%   is the same bits on every CPU; it is also what Octave's X*A gives. A
%   stored zero takes part like any other entry (0*Inf is NaN).
%
%   X         k-by-m real, full double matrix.
%   A         m-by-n real, sparse double matrix.
%   P         k-by-n full double matrix, X*A.
%
%   X and A are never modified.
%
%   Refused with an error (identifier sparsetimes:REASON):
%     sparsetimes:nargin         a number of inputs other than 2
%     sparsetimes:nargout        more than 1 output
%     sparsetimes:notRealDouble  X is not a real, full double array
%     sparsetimes:notSparse      A is not a real, sparse double matrix
%     sparsetimes:tooLarge       an input with 2^31 or more rows or columns
%     sparsetimes:shape          X has not as many columns as A has rows
%     sparsetimes:badSparse      A's stored structure is not one a host
%                                builds (a row index out of range)
%
%   Example:
%     A = sparse([1 0 2; 0 3 0]);  X = [1 2; 3 4];
%     P = sparsetimes(X, A)        % the same bits as X*A
%
%   See also GREEDYCD, GREEDYNMF.
