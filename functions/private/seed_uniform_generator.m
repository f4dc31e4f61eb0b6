function saved = seed_uniform_generator(seed)
% SEED_UNIFORM_GENERATOR  Seeds rand with SEED and returns what
% restore_uniform_generator needs to put the caller's generator back.
% Octave's rng(seed) would also reseed randn and, after rand('seed', s),
% leave rand on its newer generator instead of the older one the caller
% chose; so in Octave both of rand's generators are saved, and which one
% is in use is read from which of them a draw advances.
  if exist('OCTAVE_VERSION', 'builtin')
    saved.state = rand('state');
    saved.seed = rand('seed');
    rand();
    saved.older = isequal(rand('state'), saved.state);
    rand('state', seed);
  else
    saved = rng();
    rng(seed);
  end
end
