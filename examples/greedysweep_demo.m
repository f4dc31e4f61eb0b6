function greedysweep_demo()
% GREEDYSWEEP_DEMO  A short tour of greedycd, hardsweep and clipsweep on small problems.
%
%   greedysweep_demo()
%
%   Needs the plug-ins on the path. Uses a fixed seed of its own; the
%   caller's random generator state and variables are left as they were.
%
%   See also GREEDYCD, HARDSWEEP, CLIPSWEEP, SPARSE_CODING_DEMO, GREEDYNMF.

  saved = rng();
  restore = onCleanup(@() rng(saved));
  rng(1);

  % greedycd: fit V ~ W*H with H fixed, updating W by greedy coordinate
  % descent. The plug-in works on the transposed factor: k rows, one
  % column per row of V.
  H = rand(3, 8);
  V = rand(5, 3) * H;
  W = rand(5, 3);
  HHt = H * H';
  fprintf('greedycd: fit a 5x8 matrix V by W*H, H fixed (k = 3)\n');
  fprintf('  at the start:     ||V - W*H|| = %.3g\n', norm(V - W * H, 'fro'));
  for sweep = 1:4
    GW = W * HHt - V * H';  % gradient of 0.5*||V - W*H||^2 with respect to W
    W = greedycd(GW', HHt, W', 1e-4, 5)';
    fprintf('  after update %d: ||V - W*H|| = %.3g, smallest entry of W = %g\n', ...
            sweep, norm(V - W * H, 'fro'), min(W(:)));
  end

  % hardsweep and clipsweep: one forward pass over the lower triangle of M.
  M = [4 0 0; 1 3 0; -1 2 5];
  C = [-4 6; -3 1; 1 -10];
  fprintf('\nforward sweeps with M = [4 0 0; 1 3 0; -1 2 5], C = [-4 6; -3 1; 1 -10]\n');
  fprintf('  hardsweep, lambda = 0.5 (keep an entry only if it gains more than 0.5):\n');
  disp(hardsweep(M, C, 0.5, 3, 2));
  fprintf('  clipsweep (negative entries set to zero):\n');
  disp(clipsweep(M, C, 0, 3, 2));

  % Malformed calls are refused with an error naming the reason.
  try
    hardsweep(M, C, 0.5, 4, 2);
  catch err
    fprintf('a call with n = 4 is refused: %s (%s)\n', err.message, err.identifier);
  end
end
