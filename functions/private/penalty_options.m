function penalty = penalty_options(given, m, n, caller)
% PENALTY_OPTIONS  The weights of the penalties in
%   f = 0.5*||A - W*H||^2 + l1_W*sum(W(:)) + 0.5*l2_W*||W||^2
%                         + l1_H*sum(H(:)) + 0.5*l2_H*||H||^2
% for an m-by-n A, from the options in GIVEN: either the weights
% themselves, or scikit-learn's alpha_W, alpha_H and l1_ratio, which weigh
% W's penalties by n and H's by m as scikit-learn does. Absent ones are 0.
  own = {'l1_W', 'l2_W', 'l1_H', 'l2_H'};
  scikit = {'alpha_W', 'alpha_H', 'l1_ratio'};
  if any(isfield(given, own)) && any(isfield(given, scikit))
    error([caller ':badOption'], ...
          'give the penalties either as l1_W, l2_W, l1_H, l2_H or as alpha_W, alpha_H, l1_ratio, not both');
  end
  if ~any(isfield(given, scikit))
    for name = own
      penalty.(name{1}) = read_option(given, name{1}, 0, 'nonnegative', caller);
    end
    return;
  end
  alpha_W = read_option(given, 'alpha_W', 0, 'nonnegative', caller);
  if isfield(given, 'alpha_H') && ischar(given.alpha_H) && strcmpi(given.alpha_H, 'same')
    given = rmfield(given, 'alpha_H');
  end
  alpha_H = read_option(given, 'alpha_H', alpha_W, 'nonnegative', caller);
  ratio = read_option(given, 'l1_ratio', 0, 'fraction', caller);
  penalty.l1_W = alpha_W * ratio * n;
  penalty.l2_W = alpha_W * (1 - ratio) * n;
  penalty.l1_H = alpha_H * ratio * m;
  penalty.l2_H = alpha_H * (1 - ratio) * m;
end
