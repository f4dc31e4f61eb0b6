% NMFSOLVE  The compiled engine of greedynmf and greedynmf_project.
%
%   [Wt, H, trace, summary] = nmfsolve(A, Wt0, H0, settings)    task 1
%   [H, trace, summary] = nmfsolve(A, Wt, H0, settings)          task 2
%
%   Call greedynmf or greedynmf_project instead: they check A, read the
%   options, make the start and the info struct, and call this. Task 1
%   factorises A ~ W*H from the start Wt0 (W', k-by-m) and H0 (k-by-n), or,
%   with Wt0 and H0 both empty, from the random start drawn from the seed.
%   Task 2 solves for the codes H of A against the fixed W (given as Wt),
%   from H0. The whole loop runs in C++, its steps shared out over threads
%   by whole columns, so that W, H and the objective trace are the same bits
%   at every thread count, on every CPU and operating system
%   (docs/operation-order.md).
%
%   A         m-by-n real double matrix, full or sparse, finite and
%             non-negative (greedynmf checks this; nothing here does).
%   settings  a row of 18 values:
%               1 task (1 or 2)          10 extrapolate (0 or 1)
%               2 rank k                 11 l1_W   12 l2_W
%               3 seed (NaN: none)       13 l1_H   14 l2_H
%               4 maxiter (or Inf)       15 threads (1 to 4096)
%               5 tol                    16 verbose (0 or 1)
%               6 maxtime (or Inf)       17 the power of two that brings
%               7 seconds already spent     the objective to A's units
%               8 maxinner (1 to 2^31-1)    (for the verbose lines)
%               9 inner_tol              18 loss (0 least squares, 1 kl)
%             Task 2 reads only 1, 2, 4, 5, 8, 9, 13, 14, 15 and 18. Under
%             kl, maxinner counts passes over each column and inner_tol
%             and extrapolate are not read.
%   trace     task 1: the objective (row 1) and the seconds since the call
%             began (row 2) at the start and after each iteration; task 2:
%             the objective at the start and after each pass taken.
%   summary   task 1: [iterations, stop, relerr, threads]; task 2:
%             [iterations, stop, threads], where stop is 0 for tol, 1 for
%             maxiter and 2 for maxtime, and threads is how many ran.
%
%   No input is modified.
%
%   Refused with an error (identifier nmfsolve:REASON):
%     nmfsolve:nargin         a number of inputs other than 4
%     nmfsolve:nargout        more outputs than the task gives
%     nmfsolve:notRealDouble  A not a real double matrix; Wt0, H0 or
%                             settings not a real, full double array
%     nmfsolve:tooLarge       an input with 2^31 or more rows or columns
%     nmfsolve:badSettings    settings of another length, or a value out
%                             of range (the message names it)
%     nmfsolve:shape          A empty, or Wt0 not k-by-m or H0 not k-by-n
%     nmfsolve:badSparse      A's stored structure is not one a host builds
%     nmfsolve:outOfMemory    no memory for the factors or the solver's work
%     nmfsolve:zeroModel      kl only: the start's W*H is 0 where A is
%                             positive (an infinite divergence)
%
%   See also GREEDYNMF, GREEDYNMF_PROJECT.
