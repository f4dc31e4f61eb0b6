% Calls sparsetimes as a user would.

%!test
%! % The bits of Octave's own X*A, for row counts on both sides of a band
%! % (24 rows), with empty columns and rows in A, and the inputs left alone.
%! rand ("seed", 3);
%! A = sprand (60, 40, 0.1);
%! A(:, [1 7]) = 0;  A(5, :) = 0;
%! copy = A;
%! for k = [1 5 23 24 25 49]
%!   X = rand (k, 60) - 0.25;
%!   X_before = X;
%!   assert (isequal (sparsetimes (X, A), X * A));
%!   assert (isequal (sparsetimes (X(:, 1:40), A'), X(:, 1:40) * A'));
%!   assert (isequal (X, X_before));
%! end
%! assert (isequal (A, copy));

%!test
%! % Empty sides give a zero or empty result of the product's shape.
%! assert (sparsetimes (zeros (0, 3), sparse (3, 4)), zeros (0, 4));
%! assert (sparsetimes (ones (2, 3), sparse (3, 0)), zeros (2, 0));
%! assert (sparsetimes (ones (2, 0), sparse (0, 4)), zeros (2, 4));
%! assert (sparsetimes (ones (2, 3), sparse (3, 4)), zeros (2, 4));

%!test
%! % An Inf in X meets a stored entry only: the structural zeros add nothing.
%! A = sparse ([1 0; 0 2]);
%! assert (sparsetimes ([Inf 1], A), [Inf 2]);

%!error id=sparsetimes:nargin sparsetimes (1)
%!error id=sparsetimes:nargout [a, b] = sparsetimes (1, sparse (1))
%!error id=sparsetimes:notRealDouble sparsetimes (sparse (1), sparse (1))
%!error id=sparsetimes:notRealDouble sparsetimes (single (1), sparse (1))
%!error id=sparsetimes:notSparse sparsetimes (1, 1)
%!error id=sparsetimes:notSparse sparsetimes (1, sparse (1i))
%!error id=sparsetimes:notSparse sparsetimes (1, sparse (true))
%!error <X is 2 by 3 and A is 2 by 2> sparsetimes (ones (2, 3), speye (2))

%!test
%! % The help's example runs as printed and gives X*A.
%! evalc (help_example ("sparsetimes"));
%! assert (isequal (P, X * A));
