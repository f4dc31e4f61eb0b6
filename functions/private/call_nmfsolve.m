function varargout = call_nmfsolve(caller, A, Wt0, H0, settings, weights)
% CALL_NMFSOLVE  nmfsolve(A, Wt0, H0, settings, weights) for CALLER (without
% weights when they are left out or empty), whose running
% out of memory is refused as CALLER:outOfMemory with the rank and the
% size it would have taken.
  varargout = cell(1, max(nargout, 1));
  try
    if nargin < 6 || isempty(weights)
      [varargout{:}] = nmfsolve(A, Wt0, H0, settings);
    else
      [varargout{:}] = nmfsolve(A, Wt0, H0, settings, weights);
    end
  catch failure
    if strcmp(failure.identifier, 'nmfsolve:zeroModel')
      error([caller ':zeroModel'], ['the start''s W*H is 0 where A is positive, so the ', ...
            'Kullback-Leibler divergence is infinite there: start from a W and H whose ', ...
            'product is positive wherever A is (a random or ''nndsvda'' start is)']);
    end
    if ~any(strcmp(failure.identifier, {'nmfsolve:outOfMemory', 'Octave:bad-alloc', 'MATLAB:nomem'}))
      rethrow(failure);
    end
    [m, n] = size(A);
    k = settings(2);
    % The factors and their gradients, products and copies: about five of
    % each, and the rank's square matrices.
    gigabytes = 8 * (5 * k * (m + n) + 4 * k^2) / 1e9;
    error([caller ':outOfMemory'], ['no memory for rank k = %d with a %d-by-%d A ', ...
          '(about %.3g GB of factors and work): choose a smaller k'], k, m, n, gigabytes);
  end
end
