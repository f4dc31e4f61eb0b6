function run_ours(folder, out_file, maxiter, threads, loss)
% RUN_OURS  greedynmf from the stored start on THREADS threads, writing one
% line per outer iteration: iterations, seconds, objective. With MAXITER,
% that many iterations and tol = 0 (every iteration runs); with [], its
% defaults, which stop where its own rule says. LOSS is 'ls' (the default)
% or 'kl'.
  [A, W0, H0] = load_problem(folder);
  k = size(H0, 1);
  if nargin < 5
    loss = 'ls';
  end
  options = {'threads', threads, 'loss', loss};
  if ~isempty(maxiter)
    options = [options, {'tol', 0, 'maxiter', maxiter}];
  end
  [W, H, info] = greedynmf(A, k, 'W0', W0, 'H0', H0, options{:});
  % The objective greedynmf reports, checked against a fresh evaluation.
  if strcmp(loss, 'kl')
    [i, j, a] = find(A);
    model = sum(W(i, :) .* H(:, j)', 2);
    f = sum(a .* log(a ./ model) - a) + sum(W, 1) * sum(H, 2);
  else
    f = 0.5 * full(sum(sum(A .^ 2))) - sum(sum((A * H') .* W)) + 0.5 * sum(sum((W' * W) .* (H * H')));
  end
  if abs(f - info.objective(end)) > 1e-9 * info.objective(1)
    error('run_ours: reported objective %.10g, evaluated %.10g', info.objective(end), f);
  end
  fid = fopen(out_file, 'w');
  fprintf(fid, '%d %.6f %.10e\n', [0:info.iterations; info.time; info.objective]);
  fclose(fid);
end
