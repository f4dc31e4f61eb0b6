function varargout = call_nmfsolve(caller, A, Wt0, H0, settings)
% CALL_NMFSOLVE  nmfsolve(A, Wt0, H0, settings) for CALLER, whose running
% out of memory is refused as CALLER:outOfMemory with the rank and the
% size it would have taken.
  varargout = cell(1, max(nargout, 1));
  try
    [varargout{:}] = nmfsolve(A, Wt0, H0, settings);
  catch failure
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
