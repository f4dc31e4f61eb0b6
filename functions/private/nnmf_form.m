function [Wt, H] = nnmf_form(Wt, H)
% NNMF_FORM  The factors as MATLAB's nnmf returns them: the rows of H
% scaled to unit length (a zero row stays zero) and W's columns (the rows
% of Wt) by as much the other way, then the components ordered by the
% length of W's columns, longest first. W*H is the same up to rounding.
% The lengths are sums in fixedtimes's one order, so the result keeps the
% same bits everywhere.
  lengths = sqrt(row_sums(H .^ 2));
  lengths(lengths == 0) = 1;
  H = H ./ lengths;
  Wt = Wt .* lengths;
  [~, order] = sort(sqrt(row_sums(Wt .^ 2)), 'descend');
  Wt = Wt(order, :);
  H = H(order, :);
end

function s = row_sums(X)
  s = fixedtimes(X, ones(size(X, 2), 1));
end
