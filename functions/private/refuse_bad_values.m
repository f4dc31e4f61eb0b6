function refuse_bad_values(X, name, id, hint)
% REFUSE_BAD_VALUES  Errors with identifier ID unless every value of the
% matrix X (full or sparse) is finite and non-negative, naming the first
% value that is not, in column order: whether it is NaN, infinite or
% negative, and where; HINT, if given, ends the message.
  % Only the stored values: a full copy of a large sparse X would not fit.
  if issparse(X)
    values = nonzeros(X);
  else
    values = X(:);
  end
  if all(isfinite(values)) && ~any(values < 0)
    return;
  end
  if issparse(X)
    [stored_rows, stored_columns] = find(X);
    first = find(~isfinite(values) | values < 0, 1);
    row = stored_rows(first);
    column = stored_columns(first);
  else
    first = find(~isfinite(values) | values < 0, 1);
    [row, column] = ind2sub(size(X), first);
  end
  value = full(values(first));
  if isnan(value)
    what = 'NaN';
  elseif isinf(value)
    what = sprintf('%g', value);
  else
    what = sprintf('negative (%g)', value);
  end
  if nargin < 4
    hint = '';
  end
  error(id, '%s must be finite and non-negative, and %s(%d, %d) is %s%s', ...
        name, name, row, column, what, hint);
end
