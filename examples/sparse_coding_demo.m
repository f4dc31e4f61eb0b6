function varargout = sparse_coding_demo(lambda, passes)
% SPARSE_CODING_DEMO  Sparse codes of signals in a dictionary with hardsweep and clipsweep.
%
%   sparse_coding_demo()
%   [X, objective] = sparse_coding_demo(lambda, passes)
%
%   Codes 200 signals Y (64-by-200) in a dictionary D of 128 unit-norm atoms
%   (64-by-128): each column x of X minimises, approximately,
%     0.5*norm(y - D*x)^2 + lambda*nnz(x)    (hardsweep, default lambda 0.02)
%     0.5*norm(y - D*x)^2  with x >= 0        (clipsweep)
%   Expanded, 0.5*norm(y - D*x)^2 = 0.5*x'*M*x + c'*x + 0.5*y'*y with
%     M = D'*D      (128-by-128; the sweeps read its lower triangle)
%     C = -D'*Y     (128-by-200, one column c per signal).
%   One call is one forward pass from x = 0: entry j is chosen exactly given
%   entries 1..j-1 of the same pass, with the later ones still at zero.
%   More passes are coordinate descent: fold the later entries of the
%   previous pass into the linear term, C + triu(M, 1)*X, and sweep again.
%   Every pass then lowers the objective or leaves it unchanged.
%
%   The demo prints one line per method. Asked for them, objective holds,
%   for each method, the mean objective over the signals after each of the
%   passes (default 10) as a 2-by-passes matrix, and X the clipsweep codes.
%   lambda must be a finite, non-negative number and passes a positive
%   integer. The demo uses a fixed seed of its own and leaves the caller's
%   random generator state alone.
%
%   See also HARDSWEEP, CLIPSWEEP.

  if nargin < 1
    lambda = 0.02;
  end
  if nargin < 2
    passes = 10;
  end
  if ~isnumeric(lambda) || ~isscalar(lambda) || ~isreal(lambda) || ~isfinite(lambda) ...
      || lambda < 0
    error('sparse_coding_demo:badInput', 'lambda must be a finite, non-negative number');
  end
  if ~isnumeric(passes) || ~isscalar(passes) || ~isreal(passes) || ~isfinite(passes) ...
      || passes < 1 || passes ~= fix(passes)
    error('sparse_coding_demo:badInput', 'passes must be a positive integer');
  end
  lambda = double(lambda);
  passes = double(passes);
  saved = rng();
  restore = onCleanup(@() rng(saved));
  rng(2);

  d = 64;
  atoms = 128;
  signals = 200;
  D = randn(d, atoms);
  D = D ./ sqrt(sum(D .^ 2, 1));
  % Signals made of 5 atoms each, with non-negative weights, plus noise.
  codes = zeros(atoms, signals);
  for i = 1:signals
    codes(randperm(atoms, 5), i) = 0.5 + rand(5, 1);
  end
  Y = D * codes + 0.01 * randn(d, signals);

  M = D' * D;
  C = -D' * Y;
  upper = triu(M, 1);
  sweeps = {@(Ck) hardsweep(M, Ck, lambda, atoms, signals), ...
            @(Ck) clipsweep(M, Ck, 0, atoms, signals)};
  penalty = [lambda, 0];
  names = {'hardsweep', 'clipsweep'};
  objective = zeros(2, passes);
  for s = 1:2
    X = zeros(atoms, signals);
    for p = 1:passes
      X = sweeps{s}(C + upper * X);
      residual = Y - D * X;
      objective(s, p) = mean(0.5 * sum(residual .^ 2, 1) + penalty(s) * sum(X ~= 0, 1));
    end
    fprintf('%s: mean objective after pass 1 %.4g, after pass %d %.4g; %.1f non-zeros per signal\n', ...
            names{s}, objective(s, 1), passes, objective(s, end), nnz(X) / signals);
  end
  % Outputs only when asked for: a bare call would print all of X as ans.
  outputs = {X, objective};
  varargout = outputs(1:nargout);
end
