function build_plugins (outdir)
% BUILD_PLUGINS  Compile greedycd, hardsweep and clipsweep for this host.
%
%   build_plugins compiles the three plug-ins next to their help files.
%   build_plugins(OUTDIR) puts them, with their help files, in OUTDIR.
%
%   Runs in MATLAB (with a configured C++ compiler, see "mex -setup C++")
%   and in GNU Octave (with mkoctfile). Floating-point contraction is turned
%   off so results are the same bits on every host.

here = fileparts (mfilename ('fullpath'));
if nargin < 1
  outdir = here;
end
if ~exist (outdir, 'dir')
  mkdir (outdir);
end
kernels = fullfile (here, '..', 'kernels');
sources = kernel_sources (kernels);
includes = {['-I' here], ['-I' kernels]};
names = {'greedycd', 'hardsweep', 'clipsweep'};

if exist ('OCTAVE_VERSION', 'builtin')
  build_with_octave (names, here, sources, includes, outdir);
else
  build_with_matlab (names, here, sources, includes, outdir);
end

if ~strcmp (canonical (outdir), canonical (here))
  for i = 1:numel (names)
    copyfile (fullfile (here, [names{i} '.m']), outdir);
  end
end
end

function build_with_octave (names, here, sources, includes, outdir)
% mkoctfile takes its flags from the environment; put the caller's back after.
saved = getenv ('CXXFLAGS');
setenv ('CXXFLAGS', '-O2 -std=c++17 -ffp-contract=off -fno-fast-math');
cleanup = onCleanup (@() setenv ('CXXFLAGS', saved));
for i = 1:numel (names)
  output = fullfile (outdir, [names{i} '.mex']);
  [text, status] = mkoctfile ('--mex', includes{:}, fullfile (here, [names{i} '.cpp']), ...
                              sources{:}, '-o', output);
  if status ~= 0
    error ('build_plugins:failed', 'building %s failed:\n%s', names{i}, text);
  end
  fprintf ('built %s\n', output);
end
end

function build_with_matlab (names, here, sources, includes, outdir)
% 32-bit array sizes, as the plug-ins are written for.
flags = [{'-compatibleArrayDims'}, compiler_flags(), includes];
% Kernel sources share base names across folders, so each object gets a
% folder of its own.
objdir = tempname ();
mkdir (objdir);
cleanup = onCleanup (@() rmdir (objdir, 's'));
objects = cell (1, numel (sources));
for i = 1:numel (sources)
  folder = fullfile (objdir, sprintf ('k%d', i));
  mkdir (folder);
  mex ('-c', flags{:}, sources{i}, '-outdir', folder);
  found = dir (fullfile (folder, '*.o*'));
  objects{i} = fullfile (folder, found(1).name);
end
for i = 1:numel (names)
  mex (flags{:}, fullfile (here, [names{i} '.cpp']), objects{:}, ...
       '-outdir', outdir, '-output', names{i});
end
end

function flags = compiler_flags ()
compiler = mex.getCompilerConfigurations ('C++', 'Selected');
if ~isempty (compiler) && ~isempty (strfind (compiler.ShortName, 'MSVC'))
  flags = {'COMPFLAGS=$COMPFLAGS /std:c++17 /fp:precise'};
else
  flags = {'CXXFLAGS=$CXXFLAGS -std=c++17 -ffp-contract=off -fno-fast-math'};
end
end

function files = kernel_sources (folder)
% Every .cpp under the kernels folder is part of the kernels.
files = {};
entries = dir (folder);
for i = 1:numel (entries)
  name = entries(i).name;
  if entries(i).isdir
    if name(1) ~= '.'
      files = [files, kernel_sources(fullfile (folder, name))];
    end
  elseif numel (name) > 4 && strcmp (name(end-3:end), '.cpp')
    files{end+1} = fullfile (folder, name);
  end
end
end

function path = canonical (folder)
old = cd (folder);
path = pwd ();
cd (old);
end
