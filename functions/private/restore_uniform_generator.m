function restore_uniform_generator(saved)
% RESTORE_UNIFORM_GENERATOR  Puts back the generator that
% seed_uniform_generator saved.
  if isstruct(saved) && isfield(saved, 'older')
    rand('state', saved.state);
    if saved.older
      rand('seed', saved.seed);
    end
  else
    rng(saved);
  end
end
