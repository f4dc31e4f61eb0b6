function [options, given] = greedynmf_options(args, k)
% GREEDYNMF_OPTIONS  greedynmf's options from ARGS (a struct or name/value
% pairs) for rank K, checked and with their defaults; GIVEN holds them as
% given, for the penalties.
  names = {'maxiter', 'tol', 'maxtime', 'maxinner', 'inner_tol', 'init', 'seed', ...
           'replicates', 'W0', 'H0', 'l1_W', 'l2_W', 'l1_H', 'l2_H', ...
           'alpha_W', 'alpha_H', 'l1_ratio', 'extrapolate', 'products', 'threads', ...
           'normalize', 'verbose', 'loss', 'mask', 'weights'};
  given = parse_named_options(args, names, 'greedynmf');
  read = @(name, default, kind) read_option(given, name, default, kind, 'greedynmf');
  options.maxiter = read('maxiter', 500, 'count_or_inf');
  options.tol = read('tol', 5e-5, 'nonnegative');
  options.maxtime = read('maxtime', Inf, 'positive');
  options.loss = loss_name(given, 'greedynmf');
  kl = strcmp(options.loss, 'kl');
  % Under kl, maxinner counts passes over each column: one and two reach
  % the peers' divergence level, three and more later; two is the more
  % exact step (docs/peers.md, Count data).
  kl_passes = 2;
  options.maxinner = read('maxinner', kl * kl_passes + ~kl * k, 'positive_count_or_inf');
  options.inner_tol = read('inner_tol', 1e-5, 'nonnegative');
  options.seed = read('seed', [], 'count');
  options.replicates = read('replicates', 1, 'positive_count');
  options.extrapolate = read('extrapolate', true, 'logical');
  options.threads = read('threads', [], 'positive_count');
  options.normalize = read('normalize', false, 'logical');
  options.verbose = read('verbose', false, 'logical');
  if ~isempty(options.seed) && options.seed + options.replicates > 2^32
    error('greedynmf:badOption', 'seed + replicates - 1 must be below 2^32');
  end
  if kl
    for name = {'inner_tol', 'extrapolate'}
      if isfield(given, name{1})
        error('greedynmf:badOption', ['%s applies to the least-squares loss only; ', ...
              'leave it out with ''loss'', ''kl'''], name{1});
      end
    end
    if isinf(options.maxinner)
      error('greedynmf:badOption', 'maxinner counts passes under ''loss'', ''kl'': give a finite number');
    end
    options.extrapolate = false;
  end
  if isinf(options.maxinner) && options.inner_tol <= 0
    error('greedynmf:badOption', ...
          'maxinner = Inf needs inner_tol > 0: with neither, a step might never end');
  end
  % greedycd's kernel counts moves in 32 bits; any cap beyond that is no cap.
  options.maxinner = min(options.maxinner, 2^31 - 1);
  if isempty(options.threads)
    options.threads = default_threads();
  end
  options.threads = min(options.threads, 4096);
  if isfield(given, 'products')
    products = given.products;
    if ~ischar(products) || ~any(strcmpi(products, {'fixed', 'blas'}))
      error('greedynmf:badOption', 'products must be ''fixed'' or ''blas''');
    end
  end

  options.init = 'random';
  if isfield(given, 'init')
    init = given.init;
    if ~ischar(init) || ~any(strcmpi(init, {'random', 'nndsvd', 'nndsvda'}))
      error('greedynmf:badOption', 'init must be ''random'', ''nndsvd'' or ''nndsvda''');
    end
    options.init = lower(init);
  end
  if ~strcmp(options.init, 'random')
    if isfield(given, 'seed')
      error('greedynmf:badOption', ...
            'seed draws a random start; init ''%s'' is not random', options.init);
    end
    if options.replicates > 1
      error('greedynmf:badOption', ...
            'replicates need random starts; init ''%s'' gives the same start each time', options.init);
    end
  end
  if isfield(given, 'W0') ~= isfield(given, 'H0')
    error('greedynmf:badOption', 'W0 and H0 must be given together');
  end
  options.W0 = [];
  options.H0 = [];
  if isfield(given, 'W0')
    if isfield(given, 'init') || isfield(given, 'seed')
      error('greedynmf:badOption', 'W0 and H0 are the start; init and seed cannot be given with them');
    end
    if options.replicates > 1
      error('greedynmf:badOption', 'replicates need random starts; W0 and H0 are one start');
    end
    options.W0 = given.W0;
    options.H0 = given.H0;
  end
end
