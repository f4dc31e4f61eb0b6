function row = nmfsolve_settings(values)
% NMFSOLVE_SETTINGS  The settings row nmfsolve reads, from a struct of named
% values (help nmfsolve lists them). A name left out is 0, but seed (NaN:
% none) and maxtime (Inf).
  names = {'task', 'rank', 'seed', 'maxiter', 'tol', 'maxtime', 'elapsed', 'maxinner', ...
           'inner_tol', 'extrapolate', 'l1_W', 'l2_W', 'l1_H', 'l2_H', 'threads', ...
           'verbose', 'objective_scale', 'loss'};
  row = zeros(1, numel(names));
  row(3) = NaN;
  row(6) = Inf;
  for i = 1:numel(names)
    if isfield(values, names{i})
      row(i) = double(values.(names{i}));
    end
  end
end
