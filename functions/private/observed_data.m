function [A, weights] = observed_data(A, given, caller)
% OBSERVED_DATA  The entries of A a fit observes, from the options GIVEN
% ('mask' and 'weights'): WEIGHTS, of A's size and form, is 0 where A is
% not observed and the entry's weight where it is (1 under a mask alone);
% [] when every entry is observed with weight 1. A comes back with its
% unobserved entries set to 0 (a sparse A without them), so that whatever
% they held, NaN included, takes no part. CALLER names the errors.
  weights = [];
  id = [caller ':badOption'];
  [m, n] = size(A);
  if isfield(given, 'mask')
    weights = mask_weights(given.mask, A, id);
  end
  if isfield(given, 'weights')
    w = given.weights;
    if ~(isnumeric(w) || islogical(w)) || ~isreal(w) || ~isequal(size(w), [m, n])
      error(id, 'weights must be a real, numeric matrix of A''s size, %d-by-%d', m, n);
    end
    w = double(w);
    refuse_bad_values(w, 'weights', id);
    if isempty(weights)
      weights = w;
    else
      weights = weights .* w;
    end
  end
  if isempty(weights)
    return;
  end
  if nnz(weights) == 0
    error(id, 'the mask and weights observe no entry of A: at least one must be true (or positive)');
  end
  A = observed_part(A, weights);
end

function weights = mask_weights(mask, A, id)
  [m, n] = size(A);
  if ischar(mask)
    if ~strcmpi(mask, 'zeros')
      error(id, 'mask must be a logical matrix of A''s size or ''zeros'', not ''%s''', mask);
    end
    if ~issparse(A)
      error(id, ['''mask'', ''zeros'' treats the zeros of a sparse A as missing; ', ...
            'for a full A give a logical mask, such as A ~= 0']);
    end
    weights = spones(A);
    return;
  end
  if ~islogical(mask)
    error(id, 'mask must be logical, true where A is observed: give logical(M), or ''zeros''');
  end
  if ~isequal(size(mask), [m, n])
    error(id, 'mask is %d-by-%d; it must be A''s size, %d-by-%d', size(mask, 1), size(mask, 2), m, n);
  end
  weights = double(mask);
end

function A = observed_part(A, weights)
  [m, n] = size(A);
  if issparse(A)
    % By the stored entries, never a full copy.
    [i, j, v] = find(A);
    keep = full(weights(i + (j - 1) * m)) ~= 0;
    A = sparse(i(keep), j(keep), v(keep), m, n);
  else
    A(~full(weights ~= 0)) = 0;
  end
end
