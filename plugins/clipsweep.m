% CLIPSWEEP  Forward sweep that sets negative entries to zero.
%
%   X = clipsweep(M, C, lambda, n, m)
%
%   Returns the n-by-m matrix X whose column i is one forward pass of exact
%   one-variable minimisation: for j = 1..n in order, X(j,i) minimises
%     M(j,j)/2*x^2 + (C(j,i) + M(j,1:j-1)*X(1:j-1,i))*x.
%   Each negative entry is then set to zero.
%
%   M       coupling matrix; its first n*n elements are read as an n-by-n
%           matrix (whatever its own shape), lower triangle only.
%           Its strict upper triangle is never read, so M need not be
%           symmetric; D'*D for a dictionary D serves as it is (see
%           sparse_coding_demo for M and C built from D, and for passes after
%           the first: each call is one forward pass from X = 0).
%   C       linear terms; its first n*m elements are read as n-by-m.
%           When n or m is 0 neither M nor C is read, and X is empty.
%   lambda  accepted and ignored (the result is the same for any lambda).
%   n, m    the size of X, truncated toward zero (3.7 counts as 3).
%           lambda, n and m may be of any real numeric or logical class;
%           their first element is converted to double.
%   X       the new n-by-m result. M and C are never modified.
%
%   Refused with an error (identifier clipsweep:REASON):
%     clipsweep:nargin          a number of inputs other than 5
%     clipsweep:nargout         more than 1 output
%     clipsweep:notRealDouble   M or C not a real, full double array
%     clipsweep:notRealNumeric  lambda, n or m not a real, full numeric or
%                               logical array (char, cell, struct, complex,
%                               sparse, function handle)
%     clipsweep:empty           an empty lambda, n or m
%     clipsweep:tooLarge        an input with 2^31 or more rows or columns
%     clipsweep:badSize         n or m that truncates below 0 (-0.5 truncates to
%                               0 and is accepted), NaN, Inf, or 2^31 or more
%     clipsweep:tooSmall        M with fewer than n*n or C with fewer than n*m
%                               elements, when n and m are both positive
%
%   Example:
%     M = [2 0; 1 2];  C = [-2 2; -1 1];
%     X = clipsweep(M, C, 0, 2, 2)
%
%   See also HARDSWEEP, GREEDYCD.

%!test
%! % The clipped first entry, 0 rather than -1, feeds the second, whatever
%! % lambda is.
%! assert (clipsweep ([1, 0; 1, 1], [1; -3], 0, 2, 1), [0; 3]);
%! assert (clipsweep ([1, 0; 1, 1], [1; -3], 5, 2, 1), [0; 3]);
%!test
%! % One running sum, in order: a pairwise or vectorised sum gives 7 or 9.
%! M = eye (6);
%! M(6, 1:5) = [1e16, 1, -1e16, 1, 1];
%! assert (clipsweep (M, [-1; -1; -1; -1; -1; -10], 0, 6, 1), [1; 1; 1; 1; 1; 8]);
%!error id=clipsweep:badSize clipsweep (1, 1, 0, -1, 1)
