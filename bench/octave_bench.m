function octave_bench (plugin_dir)
% OCTAVE_BENCH  Times the plug-ins in Octave, the sweeps beside Octave's own
% triangular solve tril(M) \ C on the same shapes.
%
%   octave_bench (PLUGIN_DIR) adds PLUGIN_DIR (where greedycd, hardsweep and
%   clipsweep were built) to the path first. Prints the best of five runs.
%   A hard-threshold sweep with lambda = -Inf keeps every entry: it is a
%   forward substitution with the arithmetic volume of tril(M) \ C.

if nargin >= 1
  addpath (plugin_dir);
end
rand ('seed', 1);

printf ('%-14s %11s %11s %11s %16s\n', 'sweep n x m', 'hardsweep', 'clipsweep', ...
        'tril(M)\C', 'tril\C / hard');
sweep_shapes = [1000 1000; 64 200000; 200 20000];
for s = 1:rows (sweep_shapes)
  n = sweep_shapes(s, 1);
  m = sweep_shapes(s, 2);
  M = (2 * rand (n) - 1) / n;
  M(1:n+1:end) = 1.5 + (2 * rand (n, 1) - 1);
  C = 2 * rand (n, m) - 1;
  L = tril (M);
  hard = best_time (@() hardsweep (M, C, -Inf, n, m));
  clip = best_time (@() clipsweep (M, C, 0, n, m));
  solve = best_time (@() L \ (-C));
  printf ('%-14s %9.1f ms %9.1f ms %9.1f ms %16.2f\n', sprintf ('%dx%d', n, m), ...
          1e3 * hard, 1e3 * clip, 1e3 * solve, solve / hard);
end

printf ('\n%-14s %11s\n', 'greedy k x n', 'greedycd');
greedy_shapes = [16 100000; 64 20000; 256 4000];
for s = 1:rows (greedy_shapes)
  k = greedy_shapes(s, 1);
  n = greedy_shapes(s, 2);
  % As a factorisation produces it: HH^T from a non-negative H, W >= 0.
  H = rand (k, 2 * k);
  HHt = H * H';
  W = rand (k, n) .* (rand (k, n) >= 0.5);
  GW = HHt * W - H * rand (2 * k, n);
  greedy = best_time (@() greedycd (GW, HHt, W, 1e-3, k));
  printf ('%-14s %9.1f ms\n', sprintf ('%dx%d', k, n), 1e3 * greedy);
end
end

function t = best_time (f)
t = Inf;
for run = 1:5
  start = tic ();
  f ();
  t = min (t, toc (start));
end
end
