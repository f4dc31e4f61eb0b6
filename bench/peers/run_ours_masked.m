function run_ours_masked(folder, out_file, maxiter, seed)
% RUN_OURS_MASKED  greedynmf(A, k, 'mask', 'zeros') on one thread from its
% own random start of SEED, writing one line per outer iteration:
% iterations, seconds, objective over the stored entries. With MAXITER,
% that many iterations and tol = 0; with [], its defaults.
  A = load_problem(folder, false);
  shape = load(fullfile(folder, 'shape.txt'));
  options = {'mask', 'zeros', 'seed', seed, 'threads', 1};
  if ~isempty(maxiter)
    options = [options, {'tol', 0, 'maxiter', maxiter}];
  end
  warning('off', 'greedynmf:maxiter');
  [W, H, info] = greedynmf(A, shape(3), options{:});
  % The objective greedynmf reports, checked against a fresh evaluation.
  [i, j, a] = find(A);
  f = 0;
  for s = 1:100000:numel(a)
    t = s:min(s + 99999, numel(a));
    f = f + 0.5 * sum((a(t) - sum(W(i(t), :) .* H(:, j(t))', 2)) .^ 2);
  end
  if abs(f - info.objective(end)) > 1e-9 * info.objective(1)
    error('run_ours_masked: reported objective %.10g, evaluated %.10g', info.objective(end), f);
  end
  fid = fopen(out_file, 'w');
  fprintf(fid, '%d %.6f %.10e\n', [0:info.iterations; info.time; info.objective]);
  fclose(fid);
end
