function X = times_power_of_two(X, p)
% TIMES_POWER_OF_TWO  X*2^p, exact wherever the result is a normal number
% (a power of two changes only the exponent). 2^p itself need not be a
% double: the factor is applied in steps that each are, and each step
% takes every value part of the way from where it starts to where it ends.
  while p ~= 0
    step = max(min(p, 1000), -1000);
    X = X * 2^step;
    p = p - step;
  end
end
