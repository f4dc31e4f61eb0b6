% HARDSWEEP  Forward sweep that keeps an entry only when it pays more than lambda.
%
%   X = hardsweep(M, C, lambda, n, m)
%
%   Returns the n-by-m matrix X whose column i is one forward pass of exact
%   one-variable minimisation: for j = 1..n in order, X(j,i) minimises
%     M(j,j)/2*x^2 + (C(j,i) + M(j,1:j-1)*X(1:j-1,i))*x.
%   Each entry is then kept only when keeping it lowers the quadratic by
%   more than lambda (q*M(j,j)*q > 2*lambda); otherwise it is set to zero.
%
%   M       coupling matrix; its first n*n elements are read as an n-by-n
%           matrix (whatever its own shape), lower triangle only.
%           Its strict upper triangle is never read, so M need not be
%           symmetric; D'*D for a dictionary D serves as it is (see
%           sparse_coding_demo for M and C built from D, and for passes after
%           the first: each call is one forward pass from X = 0).
%   C       linear terms; its first n*m elements are read as n-by-m.
%   lambda  the threshold; only the first element is used.
%   n, m    the size of X, truncated toward zero (3.7 counts as 3).
%   X       the new n-by-m result. M and C are never modified.
%
%   Refused with an error (identifier hardsweep:REASON):
%     hardsweep:nargin         a number of inputs other than 5
%     hardsweep:nargout        more than 1 output
%     hardsweep:notRealDouble  an input that is not a real, full double array
%     hardsweep:empty          an empty lambda, n or m
%     hardsweep:tooLarge       an input with 2^31 or more rows or columns
%     hardsweep:badSize        n or m negative, NaN, Inf or 2^31 or more
%     hardsweep:tooSmall       M with fewer than n*n or C with fewer than n*m
%                          elements
%
%   Example:
%     M = [2 0; 1 2];  C = [-2 2; -1 1];
%     X = hardsweep(M, C, 0.5, 2, 2)
%
%   See also CLIPSWEEP, GREEDYCD.
