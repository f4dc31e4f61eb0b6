function A = sparse_problem(m, n, k, density, seed)
% SPARSE_PROBLEM  A seeded sparse non-negative m-by-n matrix near rank k.
%
%   A = sparse_problem(m, n, k, density, seed)
%
%   Draws, with rng(seed): factors P (m-by-k) and Q (k-by-n) whose entries
%   are uniform on [0, 1) and each kept with probability 1/2 (else zero);
%   then round(density*m*n) positions uniform over the matrix (repeats
%   merge, so slightly fewer are distinct); and for each position (i, j)
%   the value (P(i,:)*Q(:,j)) * (0.5 + u) with u uniform on [0, 1). Values
%   that come out zero are not stored. About density*m*n non-zeros remain.
  saved = rng();
  rng(seed);
  P = rand(m, k) .* (rand(m, k) < 0.5);
  Q = rand(k, n) .* (rand(k, n) < 0.5);
  count = round(density * m * n);
  i = randi(m, count, 1);
  j = randi(n, count, 1);
  noise = 0.5 + rand(count, 1);
  rng(saved);
  position = unique((j - 1) * m + i);
  [~, first] = ismember(position, (j - 1) * m + i);
  i = i(first);
  j = j(first);
  noise = noise(first);
  v = zeros(numel(i), 1);
  chunk = 100000;
  for s = 1:chunk:numel(i)
    t = s:min(s + chunk - 1, numel(i));
    v(t) = sum(P(i(t), :) .* Q(:, j(t))', 2) .* noise(t);
  end
  A = sparse(i, j, v, m, n);
end
