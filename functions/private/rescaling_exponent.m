function p = rescaling_exponent(X)
% RESCALING_EXPONENT  The exponent p of the largest value of the
% non-negative matrix X (full or sparse), written as f*2^p with f in
% [0.5, 1), so that X*2^-p has its largest value in [0.5, 1); but 0 when
% that value lies between 2^-200 and 2^200. Within that range nothing a
% factorisation computes from X overflows or underflows, and leaving X as
% it is spares a copy of it.
  if issparse(X)
    largest = full(max(nonzeros(X)));
  else
    largest = max(X(:));
  end
  p = 0;
  if ~isempty(largest) && largest > 0
    [~, p] = log2(largest);
  end
  if abs(p) <= 200
    p = 0;
  end
end
