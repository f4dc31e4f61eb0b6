function [seconds, iterations] = time_to(trace, target)
% TIME_TO  The time and iteration count of the first line of TRACE
% (iterations, seconds, objective) at or below TARGET; Inf and NaN if none.
  hit = find(trace(:, 3) <= target, 1);
  if isempty(hit)
    seconds = Inf;
    iterations = NaN;
  else
    seconds = trace(hit, 2);
    iterations = trace(hit, 1);
  end
end
