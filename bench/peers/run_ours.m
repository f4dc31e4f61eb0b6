function run_ours(folder, out_file, maxiter, threads)
% RUN_OURS  greedynmf from the stored start on THREADS threads, writing one
% line per outer iteration: iterations, seconds, objective. With MAXITER,
% that many iterations and tol = 0 (every iteration runs); with [], its
% defaults, which stop where its own rule says.
  [A, W0, H0] = load_problem(folder);
  k = size(H0, 1);
  options = {'threads', threads};
  if ~isempty(maxiter)
    options = [options, {'tol', 0, 'maxiter', maxiter}];
  end
  [W, H, info] = greedynmf(A, k, 'W0', W0, 'H0', H0, options{:});
  % The objective greedynmf reports, checked against a fresh evaluation.
  f = 0.5 * full(sum(sum(A .^ 2))) - sum(sum((A * H') .* W)) + 0.5 * sum(sum((W' * W) .* (H * H')));
  if abs(f - info.objective(end)) > 1e-9 * info.objective(1)
    error('run_ours: reported objective %.10g, evaluated %.10g', info.objective(end), f);
  end
  fid = fopen(out_file, 'w');
  fprintf(fid, '%d %.6f %.10e\n', [0:info.iterations; info.time; info.objective]);
  fclose(fid);
end
