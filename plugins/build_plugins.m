function build_plugins (outdir)
% BUILD_PLUGINS  Compile the toolkit's plug-ins for this host.
%
%   build_plugins compiles every plug-in (greedycd, hardsweep, clipsweep,
%   sparsetimes, fixedtimes and nmfsolve, greedynmf's engine) next to its
%   help file. build_plugins(OUTDIR) puts them, with their help files, in
%   OUTDIR.
%
%   Runs in MATLAB (with a configured C++ compiler, see "mex -setup C++")
%   and in GNU Octave (with mkoctfile). The plug-ins, the C++ standard, the
%   floating-point flags (no contraction, so results are the same bits on
%   every host) and the thread flags (none on Windows, whose own threads
%   the solver uses) come from build_settings.txt beside this file.

here = fileparts (mfilename ('fullpath'));
if nargin < 1
  outdir = here;
end
if ~exist (outdir, 'dir')
  mkdir (outdir);
end
kernels = fullfile (here, '..', 'kernels');
sources = kernel_sources (kernels);
includes = {['-I' here], ['-I' fullfile(kernels, 'include')], ['-I' kernels]};
settings = read_settings (fullfile (here, 'build_settings.txt'));
names = settings.plugins;

if exist ('OCTAVE_VERSION', 'builtin')
  % mkoctfile takes its flags from the environment; put the caller's back after.
  saved = getenv ('CXXFLAGS');
  threads = thread_flags (settings);
  setenv ('CXXFLAGS', strjoin ([{'-O2', ['-std=c++' settings.cxx_standard{1}]}, ...
                                settings.gcc_flags, threads], ' '));
  cleanup = onCleanup (@() setenv ('CXXFLAGS', saved));
  for i = 1:numel (names)
    output = fullfile (outdir, [names{i} '.mex']);
    [text, status] = mkoctfile ('--mex', threads{:}, includes{:}, ...
                                fullfile (here, [names{i} '.cpp']), sources{:}, '-o', output);
    if status ~= 0
      error ('build_plugins:failed', 'building %s failed:\n%s', names{i}, text);
    end
    fprintf ('built %s\n', output);
  end
else
  build_with_matlab (names, here, sources, includes, outdir, settings);
end

if ~strcmp (canonical (outdir), canonical (here))
  for i = 1:numel (names)
    copyfile (fullfile (here, [names{i} '.m']), outdir);
  end
end
end

function build_with_matlab (names, here, sources, includes, outdir, settings)
% 32-bit array sizes, as the plug-ins are written for.
flags = [{'-compatibleArrayDims'}, compiler_flags(settings), includes];
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

function flags = compiler_flags (settings)
standard = settings.cxx_standard{1};
compiler = mex.getCompilerConfigurations ('C++', 'Selected');
if ~isempty (compiler) && ~isempty (strfind (compiler.ShortName, 'MSVC'))
  flags = {strjoin([{'COMPFLAGS=$COMPFLAGS', ['/std:c++' standard]}, settings.msvc_flags], ' ')};
else
  threads = thread_flags (settings);
  flags = {strjoin([{'CXXFLAGS=$CXXFLAGS', ['-std=c++' standard]}, settings.gcc_flags, threads], ' ')};
  if ~isempty (threads)
    flags{end+1} = strjoin ([{'LDFLAGS=$LDFLAGS'}, threads], ' ');
  end
end
end

function flags = thread_flags (settings)
% Windows builds start the system's own threads and need no flag.
flags = {};
if ~ispc ()
  flags = settings.thread_flags;
end
end

function settings = read_settings (file)
% "name = value" lines; each value is a list of words.
lines = regexp (fileread (file), '^[ \t]*([a-z_]+)[ \t]*=([^\r\n]*)', 'tokens', 'lineanchors');
settings = struct ();
for i = 1:numel (lines)
  settings.(lines{i}{1}) = strsplit (strtrim (lines{i}{2}), ' ');
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
