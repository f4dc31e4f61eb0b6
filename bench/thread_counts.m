function thread_counts(folders, counts, iterations, pairs)
% THREAD_COUNTS  greedynmf's time per outer iteration at each thread count
% in COUNTS (default [1 2]), side by side: the same problem and start, the
% counts taking turns, PAIRS rounds (default 9) of ITERATIONS iterations
% (default 20). Prints the median time per iteration of each count, and the
% median and worst over the rounds of each count's time against the first
% count's in the same round: the machine's speed drifts, a round's runs
% share it. Every count gives the same bits, which this checks too.
% FOLDERS are problems written by bench/peers/make_data.
%
%   octave-cli --eval "addpath(...); thread_counts({'build/peers/fashion'}, [1 2])"
  if nargin < 2
    counts = [1 2];
  end
  if nargin < 3
    iterations = 20;
  end
  if nargin < 4
    pairs = 9;
  end
  warning('off', 'greedynmf:maxiter');
  fprintf('%-10s', 'problem');
  for c = 1:numel(counts)
    fprintf(' %10s', sprintf('%d: ms/it', counts(c)));
  end
  for c = 2:numel(counts)
    fprintf(' %18s', sprintf('%d/%d median, worst', counts(c), counts(1)));
  end
  fprintf('\n');
  for f = 1:numel(folders)
    [A, W0, H0] = load_problem(folders{f});
    times = zeros(pairs, numel(counts));
    for r = 1:pairs
      for c = 1:numel(counts)
        [W, H, info] = greedynmf(A, size(W0, 2), 'W0', W0, 'H0', H0, 'maxiter', iterations, ...
                                 'tol', 0, 'threads', counts(c));
        times(r, c) = (info.time(end) - info.time(1)) / info.iterations;
        if c == 1
          first = {W, H, info.objective};
        elseif ~isequal(first, {W, H, info.objective})
          error('thread_counts: %d threads gave other bits than %d', counts(c), counts(1));
        end
      end
    end
    [~, name] = fileparts(folders{f});
    fprintf('%-10s', name);
    fprintf(' %10.1f', 1e3 * median(times, 1));
    for c = 2:numel(counts)
      ratios = times(:, c) ./ times(:, 1);
      fprintf(' %10.3f %7.3f', median(ratios), max(ratios));
    end
    fprintf('\n');
  end
end
