function report_kl(folder, title_text, picture)
% REPORT_KL  Reads every start-* folder under FOLDER (ours.txt, the race
% with tol = 0; ours_defaults.txt, greedynmf's own stop; sklearn_mu.txt:
% iterations, seconds, D(A||W*H) per line), prints one row per start and
% the median and worst of each ratio, and draws PICTURE for the median
% start.
%
% Time: how much sooner greedynmf reaches scikit-learn mu's 200-iteration
% divergence than mu takes for those 200 iterations. Quality: where
% greedynmf stops with its defaults, against mu's divergence after 200
% and, where it ran that far, after 1000 iterations.
  starts = dir(fullfile(folder, 'start-*'));
  rows = [];
  fprintf('| start | mu 200: D, s | greedynmf to it: s, iterations | sooner by | greedynmf stops: D, s | against mu 200 | against mu 1000 |\n');
  fprintf('|---|---|---|---|---|---|---|\n');
  for s = 1:numel(starts)
    here = fullfile(folder, starts(s).name);
    ours = load(fullfile(here, 'ours.txt'));
    stop = load(fullfile(here, 'ours_defaults.txt'));
    mu = load(fullfile(here, 'sklearn_mu.txt'));
    mu200 = mu(mu(:, 1) == 200, :);
    [seconds, iterations] = time_to(ours, mu200(3));
    % Time counts from the call, the start's check and setup included.
    sooner = mu200(2) / seconds;
    against1000 = NaN;
    if any(mu(:, 1) == 1000)
      against1000 = 100 * (stop(end, 3) / mu(mu(:, 1) == 1000, 3) - 1);
    end
    against200 = 100 * (stop(end, 3) / mu200(3) - 1);
    rows(end + 1, :) = [sooner, against200, against1000];
    fprintf('| %s | %.7g, %.1f | %.2f, %d | %.1f× | %.7g, %.2f | %+.3f %% | %s |\n', ...
            starts(s).name(7:end), mu200(3), mu200(2), seconds, iterations, sooner, ...
            stop(end, 3), stop(end, 2), against200, percent(against1000));
  end
  fprintf('\nmedian: %.1f× sooner, %+.3f %% against mu 200, %s against mu 1000\n', ...
          median(rows(:, 1)), median(rows(:, 2)), percent(median(rows(~isnan(rows(:, 3)), 3))));
  fprintf('worst:  %.1f× sooner, %+.3f %% against mu 200, %s against mu 1000\n', ...
          min(rows(:, 1)), max(rows(:, 2)), percent(max(rows(~isnan(rows(:, 3)), 3))));
  [~, order] = sort(rows(:, 1));
  middle = fullfile(folder, starts(order(ceil(end / 2))).name);
  draw(middle, title_text, picture);
end

function text = percent(value)
  if isempty(value) || isnan(value)
    text = '-';
  else
    text = sprintf('%+.3f %%', value);
  end
end

function draw(folder, title_text, picture)
  print_options = {'-dpng', '-r100'};
  if exist('OCTAVE_VERSION', 'builtin')
    warning('off', 'Octave:gnuplot-graphics');
    graphics_toolkit('gnuplot');
    warning('off', 'print:nogs');
    print_options = {'-dpngcairo', '-S800,500'};
  end
  ours = load(fullfile(folder, 'ours.txt'));
  stop = load(fullfile(folder, 'ours_defaults.txt'));
  mu = load(fullfile(folder, 'sklearn_mu.txt'));
  % The excess over the lowest divergence either reached, the point that is
  % the lowest itself left out; time on a linear scale, as in the
  % least-squares pictures.
  best = min([ours(:, 3); stop(:, 3); mu(:, 3)]);
  handle = figure('visible', 'off');
  set(handle, 'PaperUnits', 'inches', 'PaperPosition', [0, 0, 8, 5]);
  traces = {ours, mu};
  labels = {'greedynmf, loss kl (tol 0)', 'scikit-learn mu, kullback-leibler'};
  styles = {'.-', 's-'};
  for s = 1:2
    t = traces{s};
    keep = t(:, 3) > best;
    semilogy(t(keep, 2), t(keep, 3) / best - 1, styles{s}, 'MarkerSize', 4);
    hold on;
  end
  mu200 = mu(mu(:, 1) == 200, :);
  semilogy(xlim(), [1, 1] * (mu200(3) / best - 1), 'k--');
  labels = [labels, {'mu after 200 iterations'}];
  if stop(end, 3) > best
    semilogy(stop(end, 2), stop(end, 3) / best - 1, 'kp', 'MarkerSize', 9, 'MarkerFaceColor', 'y');
    labels = [labels, {'greedynmf stops (defaults)'}];
  end
  hold off;
  grid on;
  set(gca, 'FontSize', 7);
  key = legend(labels, 'Location', 'eastoutside');
  set(key, 'FontSize', 6);
  xlabel('time (s), one thread');
  ylabel('D(A||WH) / lowest reached - 1');
  title(title_text);
  print(handle, picture, print_options{:});
  close(handle);
end
