function threads = default_threads()
% DEFAULT_THREADS  How many threads greedynmf and greedynmf_project run on
% unless told: as many as the host allows (MATLAB's maxNumCompThreads,
% which is 1 in the workers of a process pool; Octave's nproc, which
% honours OMP_NUM_THREADS), but 1 in a process that another Octave started,
% such as a worker of parcellfun, whose siblings share the same cores.
  persistent asked_in started_by_octave
  if exist('OCTAVE_VERSION', 'builtin')
    threads = nproc('overridable');
    % Asked once per process: a forked worker inherits its parent's answer
    % along with the parent's process id, and so asks again.
    if isempty(asked_in) || asked_in ~= getpid()
      asked_in = getpid();
      started_by_octave = strncmp(process_name(getppid()), 'octave', 6);
    end
    if started_by_octave
      threads = 1;
    end
  else
    threads = maxNumCompThreads();
  end
end

function name = process_name(pid)
  name = '';
  comm = sprintf('/proc/%d/comm', pid);
  if exist(comm, 'file')
    fid = fopen(comm, 'r');
    if fid >= 0
      name = fgetl(fid);
      fclose(fid);
    end
  elseif isunix()
    [status, text] = system(sprintf('ps -o comm= -p %d', pid));
    if status == 0
      [~, name] = fileparts(strtrim(text));
    end
  end
  if ~ischar(name)
    name = '';
  end
end
