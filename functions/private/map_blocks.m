function results = map_blocks(workers, fun, varargin)
% MAP_BLOCKS  results{b} = fun(varargin{1}{b}, varargin{2}{b}, ...) for
% every block b, on WORKERS processes: in Octave with parcellfun from the
% parallel package, in MATLAB in a parfor loop (on the open parallel pool,
% if there is one).
  blocks = numel(varargin{1});
  results = cell(1, blocks);
  if exist('OCTAVE_VERSION', 'builtin')
    if ~exist('parcellfun', 'file')
      error('greedysweep:noParallel', ['%d workers need parcellfun from Octave''s parallel ', ...
            'package: pkg load parallel (Debian: octave-parallel)'], workers);
    end
    results = parcellfun(workers, fun, varargin{:}, 'UniformOutput', false, 'VerboseLevel', 0);
    results = reshape(results, 1, blocks);
  else
    inputs = cell(1, blocks);
    for b = 1:blocks
      inputs{b} = cellfun(@(list) list{b}, varargin, 'UniformOutput', false);
    end
    parfor (b = 1:blocks, workers)
      results{b} = fun(inputs{b}{:});
    end
  end
end
