% HARDSWEEP  Forward sweep that keeps an entry only when it pays more than lambda.
%
%   X = hardsweep(M, C, lambda, n, m)
%
%   Returns the n-by-m matrix X whose column i is one forward pass of exact
%   one-variable minimisation: for j = 1..n in order, X(j,i) minimises
%     M(j,j)/2*x^2 + (C(j,i) + M(j,1:j-1)*X(1:j-1,i))*x.
%   Each entry q is then kept only when keeping it lowers the quadratic by
%   more than lambda, that is unless 2*lambda >= (q*M(j,j))*q; otherwise it
%   is set to zero. A NaN (q*M(j,j))*q keeps q, so a zero diagonal entry
%   gives an Inf or NaN entry rather than a zero.
%
%   M       coupling matrix; its first n*n elements are read as an n-by-n
%           matrix (whatever its own shape), lower triangle only.
%           Its strict upper triangle is never read, so M need not be
%           symmetric; D'*D for a dictionary D serves as it is (see
%           sparse_coding_demo for M and C built from D, and for passes after
%           the first: each call is one forward pass from X = 0).
%   C       linear terms; its first n*m elements are read as n-by-m.
%           When n or m is 0 neither M nor C is read, and X is empty.
%   lambda  the threshold; only the first element is used.
%   n, m    the size of X, truncated toward zero (3.7 counts as 3).
%           lambda, n and m may be of any real numeric or logical class;
%           their first element is converted to double.
%   X       the new n-by-m result. M and C are never modified.
%
%   Refused with an error (identifier hardsweep:REASON):
%     hardsweep:nargin          a number of inputs other than 5
%     hardsweep:nargout         more than 1 output
%     hardsweep:notRealDouble   M or C not a real, full double array
%     hardsweep:notRealNumeric  lambda, n or m not a real, full numeric or
%                               logical array (char, cell, struct, complex,
%                               sparse, function handle)
%     hardsweep:empty           an empty lambda, n or m
%     hardsweep:tooLarge        an input with 2^31 or more rows or columns
%     hardsweep:badSize         n or m that truncates below 0 (-0.5 truncates to
%                               0 and is accepted), NaN, Inf, or 2^31 or more
%     hardsweep:tooSmall        M with fewer than n*n or C with fewer than n*m
%                               elements, when n and m are both positive
%
%   Example:
%     M = [2 0; 1 2];  C = [-2 2; -1 1];
%     X = hardsweep(M, C, 0.5, 2, 2)
%
%   See also CLIPSWEEP, GREEDYCD.

%!test
%! % Keeping the entry lowers the quadratic by exactly 1: kept only when
%! % lambda is below 1.
%! assert (hardsweep (2, -2, 1, 1, 1), 0);
%! assert (hardsweep (2, -2, 0.99, 1, 1), 1);
%!test
%! % One running sum, in order: a pairwise or vectorised sum gives 7 or 9.
%! M = eye (6);
%! M(6, 1:5) = [1e16, 1, -1e16, 1, 1];
%! assert (hardsweep (M, [-1; -1; -1; -1; -1; -10], 0, 6, 1), [1; 1; 1; 1; 1; 8]);
%!error id=hardsweep:tooSmall hardsweep (eye (2), [1; 2], 0, 3, 1)
