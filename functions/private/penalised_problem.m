function [Q, G] = penalised_problem(Q, B, X, l1, l2, fixed)
% PENALISED_PROBLEM  The Hessian Q and the gradient G at X of greedycd's
% column problems  min 0.5*x'*Q*x - b'*x + l1*sum(x) + 0.5*l2*x'*x  (b a
% column of B): l2 on Q's diagonal, and G = Q*X - B + l1. Zero weights
% leave Q as it is and G = Q*X - B. With FIXED, Q*X is made by fixedtimes,
% in its one order.
  if l2 ~= 0
    k = size(Q, 1);
    Q(1:k + 1:end) = Q(1:k + 1:end) + l2;
  end
  if nargin > 5 && fixed
    G = fixedtimes(Q, X) - B;
  else
    G = Q * X - B;
  end
  if l1 ~= 0
    G = G + l1;
  end
end
