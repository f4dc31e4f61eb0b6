function tune_ours(folder, settings, maxiter)
% TUNE_OURS  greedynmf under several settings from every start in
% FOLDER/start-* that run has already finished, against scikit-learn cd's
% targets from the same start (its objectives after 50 and 200 iterations).
%
%   tune_ours(folder, settings)            settings: a cell array of
%                                          option cells, e.g.
%                                          {{}, {'inner_tol', 1e-3}}
%   tune_ours(folder, settings, maxiter)   cap on iterations (default 250)
%
% Each run also stops once it is slower than scikit-learn cd, whose time to
% its 200-iteration objective bounds it. Prints, for each setting, the
% median and the worst over the starts of scikit-learn cd's time to each
% target over greedynmf's (0 where greedynmf misses it), and of greedynmf's
% final objective above the 200-iteration target.
  if nargin < 3
    maxiter = 250;
  end
  starts = dir(fullfile(folder, 'start-*'));
  starts = starts(arrayfun(@(s) exist(fullfile(folder, s.name, 'sklearn_cd.txt'), 'file') > 0, starts));
  ratios = zeros(numel(starts), numel(settings), 2);
  above = zeros(numel(starts), numel(settings));
  for s = 1:numel(starts)
    here = fullfile(folder, starts(s).name);
    [A, W0, H0] = load_problem(here);
    cd_trace = load(fullfile(here, 'sklearn_cd.txt'));
    targets = [cd_trace(cd_trace(:, 1) == 50, 3), cd_trace(end, 3)];
    cd_times = [cd_trace(cd_trace(:, 1) == 50, 2), cd_trace(end, 2)];
    for c = 1:numel(settings)
      [~, ~, info] = greedynmf(A, size(H0, 1), 'W0', W0, 'H0', H0, 'tol', 0, ...
                               'maxiter', maxiter, 'maxtime', cd_times(2), settings{c}{:});
      trace = [(0:info.iterations)', info.time', info.objective'];
      for t = 1:2
        ratios(s, c, t) = cd_times(t) / time_to(trace, targets(t));
      end
      above(s, c) = info.objective(end) / targets(2) - 1;
    end
  end
  fprintf('%s: %d starts\n\n', folder, numel(starts));
  fprintf('| settings | 50-iteration target: median | worst | 200-iteration target: median | worst | missed | final objective above it: median | worst |\n');
  fprintf('|---|---|---|---|---|---|---|---|\n');
  for c = 1:numel(settings)
    fprintf('| %s | %.1f× | %.1f× | %.1f× | %.1f× | %d | %.3g %% | %.3g %% |\n', ...
            setting_text(settings{c}), median(ratios(:, c, 1)), min(ratios(:, c, 1)), ...
            median(ratios(:, c, 2)), min(ratios(:, c, 2)), sum(ratios(:, c, 2) == 0), ...
            100 * median(above(:, c)), 100 * max(above(:, c)));
  end
end

function text = setting_text(setting)
  if isempty(setting)
    text = 'defaults';
    return;
  end
  parts = cell(1, numel(setting) / 2);
  for i = 1:2:numel(setting)
    parts{(i + 1) / 2} = sprintf('%s = %g', setting{i}, setting{i + 1});
  end
  text = strjoin(parts, ', ');
end
