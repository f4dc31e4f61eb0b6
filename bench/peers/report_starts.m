function report_starts(folder, title_text)
% REPORT_STARTS  Summarises the runs from many starts in FOLDER/start-*
% (each holding ours.txt, sklearn_cd.txt, sklearn_mu.txt and rcppml.txt,
% as report reads them) as a Markdown table: for every ratio, its median
% and its worst over the starts.
%
% A ratio is a peer's time to a target over greedynmf's, the targets being
% the objectives scikit-learn cd reaches from the same start after 50 and
% after 200 iterations (RcppML takes no start of ours: it runs from its own
% seeded one). A start from which greedynmf never reaches a target counts
% as a ratio of 0 (shown as "greedynmf missed it"). Also: how far greedynmf's final objective
% lies above scikit-learn cd's 200-iteration one.
  starts = dir(fullfile(folder, 'start-*'));
  names = {'sklearn_cd', 'sklearn_mu', 'rcppml'};
  labels = {'scikit-learn cd', 'scikit-learn mu', 'RcppML'};
  % Under run --finals mu is not run and RcppML only to 100 iterations,
  % a single point that cannot time a target.
  present = cellfun(@(name) timed(fullfile(folder, starts(1).name, [name '.txt'])), names);
  names = names(present);
  labels = labels(present);
  count = numel(starts);
  ratios = NaN(count, numel(names), 2);
  missed = zeros(1, 2);
  above = zeros(count, 1);
  for s = 1:count
    here = fullfile(folder, starts(s).name);
    ours = load(fullfile(here, 'ours.txt'));
    cd_trace = load(fullfile(here, 'sklearn_cd.txt'));
    targets = [cd_trace(cd_trace(:, 1) == 50, 3), cd_trace(end, 3)];
    above(s) = ours(end, 3) / targets(2) - 1;
    for t = 1:2
      ours_time = time_to(ours, targets(t));
      missed(t) = missed(t) + isinf(ours_time);
      for p = 1:numel(names)
        if isinf(ours_time)
          ratios(s, p, t) = 0;
        else
          ratios(s, p, t) = time_to(load(fullfile(here, [names{p} '.txt'])), targets(t)) / ours_time;
        end
      end
    end
  end
  fprintf('%s: %d starts (%s)\n\n', title_text, count, strjoin({starts.name}, ', '));
  fprintf('| greedynmf faster than | to the 50-iteration target: median | worst | to the 200-iteration target: median | worst |\n');
  fprintf('|---|---|---|---|---|\n');
  for p = 1:numel(names)
    fprintf('| %s', labels{p});
    for t = 1:2
      r = ratios(:, p, t);
      fprintf(' | %s | %s', ratio_text(median(r)), ratio_text(min(r)));
    end
    fprintf(' |\n');
  end
  fprintf('\ngreedynmf missed the 50-iteration target from %d and the 200-iteration target from %d of %d starts.\n', ...
          missed, count);
  fprintf('Its final objective (250 iterations) above scikit-learn cd''s 200-iteration one: median %.3g %%, worst %.3g %%, best %.3g %%.\n\n', ...
          100 * median(above), 100 * max(above), 100 * min(above));
end

function text = ratio_text(r)
  if r == 0
    text = 'greedynmf missed it';
  elseif isinf(r)
    text = 'peer missed it';
  else
    text = sprintf('%.1f×', r);
  end
end

function yes = timed(file)
  yes = exist(file, 'file') > 0 && size(load(file), 1) > 1;
end
