function [Wt, H] = nmf_start(A, k, init, fill)
% NMF_START  An SVD start for greedynmf: W' (k-by-m) and H (k-by-n) for the
% m-by-n A. 'nndsvd' takes the non-negative parts of the leading k singular
% pairs of A, and 'nndsvda' also fills the zeros that leaves with FILL.
% (Random starts are drawn by nmfsolve itself.)
  [Wt, H] = nndsvd_start(A, k);
  if strcmp(init, 'nndsvda')
    Wt(Wt == 0) = fill;
    H(H == 0) = fill;
  end
end

function [Wt, H] = nndsvd_start(A, k)
% Each singular pair (u, v) of A is replaced by the non-negative part,
% positive or negative, whose outer product carries more of u*v'. A rank
% beyond min(m, n) leaves the last components zero.
  [m, n] = size(A);
  r = min([k, m, n]);
  [U, s, V] = leading_singular_pairs(A, r);
  Wt = zeros(k, m);
  H = zeros(k, n);
  for j = 1:r
    u = U(:, j);
    v = V(:, j);
    up = max(u, 0);
    un = max(-u, 0);
    vp = max(v, 0);
    vn = max(-v, 0);
    positive = norm(up) * norm(vp);
    negative = norm(un) * norm(vn);
    if positive >= negative
      weight = positive;
      u = up;
      v = vp;
    else
      weight = negative;
      u = un;
      v = vn;
    end
    if weight > 0
      scale = sqrt(s(j) * weight);
      Wt(j, :) = (scale / norm(u)) * u';
      H(j, :) = (scale / norm(v)) * v';
    end
  end
end

function [U, s, V] = leading_singular_pairs(A, r)
  [m, n] = size(A);
  if min(m, n) <= 2000
    % The Gram matrix of the shorter side is small: a dense eigensolver on
    % it is fast and, for a start, accurate enough.
    if n <= m
      [V, D] = eig(full(A' * A));
      [d, order] = sort(max(diag(D), 0), 'descend');
      V = V(:, order(1:r));
      s = sqrt(d(1:r));
      U = (A * V) ./ max(s', realmin);
    else
      [U, D] = eig(full(A * A'));
      [d, order] = sort(max(diag(D), 0), 'descend');
      U = U(:, order(1:r));
      s = sqrt(d(1:r));
      V = (A' * U) ./ max(s', realmin);
    end
  else
    [U, S, V] = svds(A, r);
    s = diag(S);
  end
  U = full(U);
  V = full(V);
end
