function loss = loss_name(given, caller)
% LOSS_NAME  The fit GIVEN.loss names, 'ls' (the default) or 'kl', for CALLER.
  loss = 'ls';
  if ~isfield(given, 'loss')
    return;
  end
  name = given.loss;
  names = {'ls', 'frobenius', 'kl', 'kullback-leibler'};
  if ~ischar(name) || ~any(strcmpi(name, names))
    error([caller ':badOption'], ['loss must be ''ls'' (least squares, also ''frobenius'') ', ...
          'or ''kl'' (the Kullback-Leibler divergence, also ''kullback-leibler'')']);
  end
  if any(strcmpi(name, {'kl', 'kullback-leibler'}))
    loss = 'kl';
  end
end
