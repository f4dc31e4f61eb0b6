function timings = parallel_demo(workers, k, n, sweep_rows)
% PARALLEL_DEMO  greedycd and hardsweep over blocks of columns on worker processes.
%
%   parallel_demo()
%   timings = parallel_demo(workers, k, n, sweep_rows)
%
%   Times one greedycd call on a k-by-n W (k = 200, n = 20000, up to 10*k
%   moves a column, tol = 0) and one hardsweep call with n columns of
%   sweep_rows rows (sweep_rows = 2000), each first as it is and then
%   through greedycd_parallel and sweep_parallel on WORKERS processes
%   (default 2), and checks that both give the same bits. In Octave it
%   needs the parallel package, loaded first:
%
%     pkg load parallel
%     parallel_demo()
%
%   timings is a struct array with one element per plug-in: name, the
%   seconds of one call and of the blocks on workers, and whether the
%   results are the same bits. The blocks and their results are copied to
%   the worker processes and back, so the workers pay only where a column
%   carries much more arithmetic than data: many moves per column for
%   greedycd, long columns for the sweeps (see docs/performance.md).
%
%   Uses a fixed seed of its own; the caller's random generator state is
%   left as it was.
%
%   See also GREEDYCD_PARALLEL, SWEEP_PARALLEL.

  if nargin < 1
    workers = 2;
  end
  if nargin < 2
    k = 200;
  end
  if nargin < 3
    n = 20000;
  end
  if nargin < 4
    sweep_rows = 2000;
  end
  saved = rng();
  restore = onCleanup(@() rng(saved));
  rng(1);

  % greedycd: W (k-by-n, one column per row of V ~ W*H) with H held fixed.
  H = rand(k, 2 * k);
  HHt = H * H';
  W = rand(k, n);
  GW = HHt * W - H * rand(2 * k, n);
  maxinner = 10 * k;
  tic;
  single = greedycd(GW, HHt, W, 0, maxinner);
  one = toc;
  tic;
  blocks = greedycd_parallel(workers, GW, HHt, W, 0, maxinner);
  parallel = toc;
  timings(1) = report('greedycd', one, parallel, isequal(single, blocks), workers);
  clear GW W single blocks;

  % hardsweep: codes for n signals in a dictionary D, one column each.
  D = randn(sweep_rows, sweep_rows);
  M = D' * D;
  C = -D' * randn(sweep_rows, n);
  tic;
  single = hardsweep(M, C, 0.5, sweep_rows, n);
  one = toc;
  tic;
  blocks = sweep_parallel(workers, @hardsweep, M, C, 0.5, sweep_rows, n);
  parallel = toc;
  timings(2) = report('hardsweep', one, parallel, isequal(single, blocks), workers);
end

function timing = report(name, one, parallel, same, workers)
  timing = struct('name', name, 'one_call', one, 'workers', parallel, 'same_bits', same);
  fprintf('%-10s one call %7.3f s, %d workers %7.3f s (%.2f times as fast), same bits: %d\n', ...
          name, one, workers, parallel, one / parallel, same);
end
