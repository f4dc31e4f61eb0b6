% Calls fixedtimes as a user would.

%!function P = in_order (X, A)
%!  % Each column a running sum over s in increasing order, X's rows side by
%!  % side: elementwise, so no sum is split or fused.
%!  P = zeros (rows (X), columns (A));
%!  for c = 1:columns (A)
%!    for s = 1:columns (X)
%!      P(:, c) = P(:, c) + X(:, s) * A(s, c);
%!    end
%!  end
%!endfunction

%!test
%! % The order of the help, with A full or sparse, as given or transposed,
%! % across row counts of every vector width; inputs left alone.
%! rand ("seed", 5);
%! for k = [1 3 8 13 20 25 33]
%!   X = rand (k, 61) - 0.25;
%!   A = rand (61, 29) - 0.5;
%!   A(A > 0.3) = 0;
%!   A(7, 3) = -0;
%!   before = {X, A};
%!   P = fixedtimes (X, A);
%!   assert (isequal (P, in_order (X, A)));
%!   assert (isequal (fixedtimes (X, A', true), P));
%!   assert (isequal (fixedtimes (X, A', 1), P));
%!   % Finite X: a structural zero adds exactly what a stored zero does.
%!   assert (isequal (fixedtimes (X, sparse (A)), P));
%!   assert (isequal (fixedtimes (X, sparse (A'), true), P));
%!   assert (isequal ({X, A}, before));
%! end

%!test
%! % Specials reach only the entries they meet; empty sides give zeros.
%! assert (isequaln (fixedtimes ([Inf 1; 0 1], [0 1; 1 0]), [NaN Inf; 1 0]));
%! assert (isequal (fixedtimes ([Inf 1], sparse ([0 1; 1 0])), [1 Inf]));
%! assert (fixedtimes (ones (2, 0), zeros (0, 4)), zeros (2, 4));
%! assert (fixedtimes (ones (2, 0), sparse (4, 0), true), zeros (2, 4));
%! assert (fixedtimes (zeros (0, 3), ones (3, 4)), zeros (0, 4));

%!error id=fixedtimes:nargin fixedtimes (1)
%!error id=fixedtimes:nargin fixedtimes (1, 1, 1, 1)
%!error id=fixedtimes:nargout [a, b] = fixedtimes (1, 1)
%!error id=fixedtimes:notRealDouble fixedtimes (sparse (1), 1)
%!error id=fixedtimes:notRealDouble fixedtimes (1, single (1))
%!error id=fixedtimes:notRealDouble fixedtimes (1, 1i)
%!error id=fixedtimes:notRealNumeric fixedtimes (1, 1, 'transpose')
%!error id=fixedtimes:badFlag fixedtimes (1, 1, 2)
%!error id=fixedtimes:outOfMemory fixedtimes (zeros (1e5, 1), zeros (1, 1e5))
%!error id=fixedtimes:badFlag fixedtimes (1, 1, [true true])
%!error <X is 2 by 3 and A is 3 by 2; X\*A' needs> fixedtimes (ones (2, 3), ones (3, 2), true)
%!error id=fixedtimes:shape fixedtimes (ones (2, 3), sparse (2, 2))

%!test
%! % The help's example runs as printed.
%! evalc (help_example ("fixedtimes"));
%! assert (isequal (P, X * A) && isequal (P, Q));
