function report(folder, title_text, picture, legend_place)
% REPORT  Reads the traces in FOLDER (ours.txt, sklearn_cd.txt,
% sklearn_mu.txt, rcppml.txt: iterations, seconds, objective per line),
% prints the comparison as a Markdown table and draws PICTURE, with the
% legend at LEGEND_PLACE (best outside the axes, 'eastoutside', so that it
% covers no curve).
%
% Two targets: the objectives scikit-learn's cd solver reaches after 50
% and after 200 iterations. A solver's time to a target is the time of its
% first run (for greedynmf, its first iteration) that ends at or below it.
% "In equal time" is the best objective a solver has reached by the time
% greedynmf reaches the 200-iteration target. Where greedynmf stops with
% its defaults (ours_defaults.txt, when there) is marked on the picture.
  names = {'ours', 'sklearn_cd', 'sklearn_mu', 'rcppml'};
  labels = {'greedynmf', 'scikit-learn cd', 'scikit-learn mu', 'RcppML'};
  traces = cellfun(@(name) load(fullfile(folder, [name '.txt'])), names, 'UniformOutput', false);
  cd_trace = traces{2};
  targets = [cd_trace(cd_trace(:, 1) == 50, 3), cd_trace(end, 3)];
  fprintf('targets: %.7g and %.7g (scikit-learn cd after 50 and %d iterations)\n\n', ...
          targets, cd_trace(end, 1));
  ours = zeros(1, 2);
  for t = 1:2
    ours(t) = time_to(traces{1}, targets(t));
  end
  if isinf(ours(2))
    fprintf('greedynmf did not reach the 200-iteration target; its last time stands in\n\n');
    ours(isinf(ours)) = traces{1}(end, 2);
  end
  fprintf(['| solver | time to the 50-iteration target | greedynmf faster by | ' ...
           'time to the 200-iteration target | greedynmf faster by | ' ...
           'objective at %.2f s, above the 200-iteration target by |\n'], ours(2));
  fprintf('|---|---|---|---|---|---|\n');
  for s = 1:numel(names)
    fprintf('| %s', labels{s});
    for t = 1:2
      [seconds, iterations] = time_to(traces{s}, targets(t));
      if isinf(seconds)
        last = traces{s}(end, :);
        fprintf(' | not in %d iterations (%.2f s) | > %.1f×', last(1), last(2), last(2) / ours(t));
      elseif s == 1
        fprintf(' | %.2f s, %d iterations | 1', seconds, iterations);
      else
        fprintf(' | %.2f s, %d iterations | %.1f×', seconds, iterations, seconds / ours(t));
      end
    end
    reached = traces{s}(traces{s}(:, 2) <= ours(2), 3);
    if isempty(reached)
      fprintf(' | no run ends by then |\n');
    else
      fprintf(' | %.4g %% |\n', 100 * (min(reached) / targets(2) - 1));
    end
  end
  stop = [];
  defaults_file = fullfile(folder, 'ours_defaults.txt');
  if exist(defaults_file, 'file')
    stop = load(defaults_file);
    stop = stop(end, :);
    fprintf('\ngreedynmf with its defaults stops after %d iterations, %.2f s, %+.4g %% against the 200-iteration target\n', ...
            stop(1), stop(2), 100 * (stop(3) / targets(2) - 1));
  end
  draw(traces, labels, targets(2), stop, title_text, picture, legend_place);
end

function draw(traces, labels, target, stop, title_text, picture, legend_place)
  print_options = {'-dpng', '-r100'};
  if exist('OCTAVE_VERSION', 'builtin')
    warning('off', 'Octave:gnuplot-graphics');
    graphics_toolkit('gnuplot');
    warning('off', 'print:nogs');
    print_options = {'-dpngcairo', '-S800,500'};
  end
  % The excess over the best objective any solver reached, so that the
  % last digits that separate the solvers show on a log scale; the point
  % that is the best itself has no excess and is left out.
  best = min(cellfun(@(t) min(t(:, 3)), traces));
  handle = figure('visible', 'off');
  set(handle, 'PaperUnits', 'inches', 'PaperPosition', [0, 0, 8, 5]);
  styles = {'.-', 'o-', 's-', '^-'};
  for s = 1:numel(traces)
    t = traces{s};
    keep = t(:, 3) > best;
    semilogy(t(keep, 2), t(keep, 3) / best - 1, styles{s}, 'MarkerSize', 4);
    hold on;
  end
  limits = xlim();
  semilogy(limits, [1, 1] * (target / best - 1), 'k--');
  labels = [labels, {'200-iteration target'}];
  if ~isempty(stop) && stop(3) > best
    semilogy(stop(2), stop(3) / best - 1, 'kp', 'MarkerSize', 9, 'MarkerFaceColor', 'y');
    labels = [labels, {'greedynmf stops (defaults)'}];
  end
  hold off;
  grid on;
  set(gca, 'FontSize', 7);
  key = legend(labels, 'Location', legend_place);
  set(key, 'FontSize', 6);
  xlabel('time (s), one thread');
  ylabel('objective / lowest objective - 1');
  title(title_text);
  print(handle, picture, print_options{:});
  close(handle);
end
