function report_mask(folder, title_text, picture)
% REPORT_MASK  Reads every start-* folder under FOLDER (ours.txt, the race
% with tol = 0; ours_defaults.txt, greedynmf's own stop; rcppml.txt:
% iterations, seconds, objective over the observed entries per line),
% prints one row per start and the median and worst of each ratio, and
% draws PICTURE for the median start.
%
% Time: how much sooner greedynmf reaches RcppML's 100-iteration
% objective than RcppML takes for those 100 iterations. Quality: where
% greedynmf stops with its defaults, against RcppML after 100.
  starts = dir(fullfile(folder, 'start-*'));
  rows = [];
  fprintf('| start | RcppML 100: f, s | greedynmf to it: s, iterations | sooner by | greedynmf stops: f, s | against RcppML 100 |\n');
  fprintf('|---|---|---|---|---|---|\n');
  for s = 1:numel(starts)
    here = fullfile(folder, starts(s).name);
    ours = load(fullfile(here, 'ours.txt'));
    stop = load(fullfile(here, 'ours_defaults.txt'));
    peer = load(fullfile(here, 'rcppml.txt'));
    peer100 = peer(peer(:, 1) == 100, :);
    [seconds, iterations] = time_to(ours, peer100(3));
    sooner = peer100(2) / seconds;
    against = 100 * (stop(end, 3) / peer100(3) - 1);
    rows(end + 1, :) = [sooner, against];
    fprintf('| %s | %.7g, %.1f | %.2f, %d | %.1f× | %.7g, %.1f | %+.2f %% |\n', ...
            starts(s).name(7:end), peer100(3), peer100(2), seconds, iterations, sooner, ...
            stop(end, 3), stop(end, 2), against);
  end
  fprintf('\nmedian: %.1f× sooner, %+.2f %% against RcppML 100\n', median(rows(:, 1)), median(rows(:, 2)));
  fprintf('worst:  %.1f× sooner, %+.2f %% against RcppML 100\n', min(rows(:, 1)), max(rows(:, 2)));
  [~, order] = sort(rows(:, 1));
  draw(fullfile(folder, starts(order(ceil(end / 2))).name), title_text, picture);
end

function draw(folder, title_text, picture)
  print_options = headless_print_options();
  ours = load(fullfile(folder, 'ours.txt'));
  stop = load(fullfile(folder, 'ours_defaults.txt'));
  peer = load(fullfile(folder, 'rcppml.txt'));
  best = min([ours(:, 3); stop(:, 3); peer(:, 3)]);
  handle = figure('visible', 'off');
  set(handle, 'PaperUnits', 'inches', 'PaperPosition', [0, 0, 8, 5]);
  keep = ours(:, 3) > best;
  semilogy(ours(keep, 2), ours(keep, 3) / best - 1, '.-', 'MarkerSize', 4);
  hold on;
  keep = peer(:, 3) > best;
  semilogy(peer(keep, 2), peer(keep, 3) / best - 1, 's-', 'MarkerSize', 5);
  peer100 = peer(peer(:, 1) == 100, :);
  semilogy(xlim(), [1, 1] * (peer100(3) / best - 1), 'k--');
  labels = {'greedynmf (tol 0)', 'RcppML (10, 40, 100 iterations)', 'RcppML after 100'};
  if stop(end, 3) > best
    semilogy(stop(end, 2), stop(end, 3) / best - 1, 'kp', 'MarkerSize', 9, 'MarkerFaceColor', 'y');
    labels = [labels, {'greedynmf stops (defaults)'}];
  end
  hold off;
  grid on;
  set(gca, 'FontSize', 7);
  key = legend(labels, 'Location', 'northeast');
  set(key, 'FontSize', 6);
  xlabel('time (s), one thread');
  ylabel('f over observed entries / lowest reached - 1');
  title(title_text);
  print(handle, picture, print_options{:});
  close(handle);
end
