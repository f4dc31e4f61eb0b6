function sparse_products(plugin_dir, repeats, text_folder)
% SPARSE_PRODUCTS  Octave's full-times-sparse products against sparsetimes,
% at the shapes of a sparse NMF iteration with rank 20, side by side.
%
%   sparse_products(PLUGIN_DIR)            best of 15 of each
%   sparse_products(PLUGIN_DIR, REPEATS)
%   sparse_products(PLUGIN_DIR, REPEATS, TEXT_FOLDER)
%       also the text problem bench/peers/run wrote into TEXT_FOLDER
%
% Times W'*A and H*A' (as H*At, At = A' formed once) both ways, and H*A'
% as fixedtimes(H, A, true) without At, alternating them so that a busy
% machine slows all alike, and checks that they give the same bits. Run it
% with one BLAS thread.
  if nargin < 2
    repeats = 15;
  end
  addpath(plugin_dir, fullfile(fileparts(mfilename('fullpath')), 'peers'));
  k = 20;
  problems = {'synthetic 20000 x 5000, 1%', @() sparse_problem(20000, 5000, k, 0.01, 1); ...
              'uniform 22500 x 15000, 0.55%', @() uniform_sparse(22500, 15000, 0.0055)};
  if nargin > 2
    problems(end + 1, :) = {'perl-doc text', @() load_problem(text_folder, false)};
  end
  fprintf(['| A | non-zeros | W''*A Octave | W''*A sparsetimes | H*A'' Octave | H*A'' sparsetimes ', ...
           '| H*A'' fixedtimes(H, A, true) |\n']);
  fprintf('|---|---|---|---|---|---|---|\n');
  for p = 1:rows(problems)
    A = problems{p, 2}();
    At = A';
    [m, n] = size(A);
    Wt = rand(k, m);
    H = rand(k, n);
    best = inf(1, 5);
    for r = 1:repeats
      t = tic; P1 = Wt * A; best(1) = min(best(1), toc(t));
      t = tic; Q1 = sparsetimes(Wt, A); best(2) = min(best(2), toc(t));
      t = tic; P2 = H * At; best(3) = min(best(3), toc(t));
      t = tic; Q2 = sparsetimes(H, At); best(4) = min(best(4), toc(t));
      t = tic; R2 = fixedtimes(H, A, true); best(5) = min(best(5), toc(t));
    end
    if ~isequal(P1, Q1) || ~isequal(P2, Q2) || ~isequal(Q2, R2)
      error('sparse_products: sparsetimes and Octave differ on %s', problems{p, 1});
    end
    fprintf('| %s | %d | %.1f ms | %.1f ms (%.1fx) | %.1f ms | %.1f ms (%.1fx) | %.1f ms (%.1fx) |\n', ...
            problems{p, 1}, nnz(A), 1e3 * best(1), 1e3 * best(2), best(1) / best(2), ...
            1e3 * best(3), 1e3 * best(4), best(3) / best(4), 1e3 * best(5), best(3) / best(5));
  end
end

function A = uniform_sparse(m, n, density)
  rand('seed', 1);
  A = sprand(m, n, density);
end
