function report_finals(folder, title_text)
% REPORT_FINALS  Where each solver ends over the starts in FOLDER/start-*:
% the median, worst and best of its final objective, as a Markdown table;
% then, against RcppML's median final objective, the time greedynmf with
% its defaults takes to reach it, beside RcppML's own run.
%
% The finals are greedynmf's with its defaults (ours_defaults.txt),
% scikit-learn cd's after 200 iterations and mu's after 400 from the same
% start, and RcppML's after 100 from its own seeded start; a solver not
% run (mu, under run --finals) is left out.
  starts = dir(fullfile(folder, 'start-*'));
  names = {'ours_defaults', 'sklearn_cd', 'sklearn_mu', 'rcppml'};
  labels = {'greedynmf, defaults', 'scikit-learn cd, 200 iterations', ...
            'scikit-learn mu, 400 iterations', 'RcppML, 100 iterations'};
  present = cellfun(@(name) exist(fullfile(folder, starts(1).name, [name '.txt']), 'file') > 0, names);
  names = names(present);
  labels = labels(present);
  count = numel(starts);
  finals = zeros(count, numel(names));
  seconds = zeros(count, numel(names));
  for s = 1:count
    for p = 1:numel(names)
      trace = load(fullfile(folder, starts(s).name, [names{p} '.txt']));
      finals(s, p) = trace(end, 3);
      seconds(s, p) = trace(end, 2);
    end
  end
  target = median(finals(:, end));
  fprintf('%s: %d starts; final objective, against RcppML''s median final %.7g\n\n', ...
          title_text, count, target);
  fprintf('| solver | median | worst | best | median time (s) |\n|---|---|---|---|---|\n');
  for p = 1:numel(names)
    fprintf('| %s | %s | %s | %s | %.2f |\n', labels{p}, relative(median(finals(:, p)), target), ...
            relative(max(finals(:, p)), target), relative(min(finals(:, p)), target), ...
            median(seconds(:, p)));
  end
  reached = zeros(count, 1);
  for s = 1:count
    reached(s) = time_to(load(fullfile(folder, starts(s).name, 'ours_defaults.txt')), target);
  end
  fprintf(['\ngreedynmf (defaults) reaches RcppML''s median final objective after %.2f s at the ', ...
           'median start (%d of %d starts reach it); RcppML''s 100 iterations take %.2f s: %.1f× sooner.\n\n'], ...
          median(reached), sum(isfinite(reached)), count, median(seconds(:, end)), ...
          median(seconds(:, end)) / median(reached));
end

function text = relative(value, target)
  text = sprintf('%.7g (%+.3f %%)', value, 100 * (value / target - 1));
end
